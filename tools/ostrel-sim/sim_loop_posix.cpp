#include "sim_loop_posix.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "read_rate_limit.h"
#include "simulated_device.h"
#include "terminal_posix.h"
#include "virtual_bus.h"

namespace {

// How long a hang-up waits at most for the frames before it to reach the PC: a hung-up
// pseudo-terminal discards what the PC has not read yet.
constexpr uint64_t kHangupGraceUs = 1000000;
// Bytes just written may not have reached the PC's input queue yet.
constexpr uint64_t kHangupSettleUs = 20000;
constexpr size_t kChunk = 64 * 1024;

// When a requested hang-up happens: once the PC has read everything for a moment, or after
// the grace time at the latest.
class HangupWait {
  public:
    bool Due(uint64_t now, bool pcHasUnread) {
        if (!deadline_) deadline_ = now + kHangupGraceUs;
        if (pcHasUnread || !lastUnread_) lastUnread_ = now;
        return now >= *lastUnread_ + kHangupSettleUs || now >= *deadline_;
    }
    bool Started() const { return deadline_.has_value(); }

  private:
    std::optional<uint64_t> deadline_;
    std::optional<uint64_t> lastUnread_;
};

volatile sig_atomic_t stopRequested = 0;
volatile sig_atomic_t reportRequested = 0;
sigset_t maskDuringWait;

void OnSignal(int number) {
    if (number == SIGUSR1)
        reportRequested = 1;
    else
        stopRequested = 1;
}

timespec ToTimespec(uint64_t us) {
    return timespec{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000};
}

// Writes what the device has for the line; false when the line failed.
bool WriteOutput(SimulatedDevice& device, int fd) {
    while (device.OutputSize() > 0) {
        const ssize_t written = write(fd, device.Output(), std::min(device.OutputSize(), kChunk));
        if (written > 0) {
            device.ConsumeOutput(static_cast<size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            return written < 0 && errno == EAGAIN;
        }
    }
    return true;
}

}  // namespace

void BlockSimulatorSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGUSR1}) sigaction(number, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int number : {SIGINT, SIGTERM, SIGUSR1}) sigaddset(&blocked, number);
    sigprocmask(SIG_BLOCK, &blocked, &maskDuringWait);
}

uint64_t MonotonicMicroseconds() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

int RunSimulator(SimulatedDevice& device, Terminal& terminal, ReadRateLimit& readLimit,
                 VirtualBus* bus, std::FILE* report) {
    HangupWait hangup;
    uint8_t input[4096];
    while (true) {
        const uint64_t now = MonotonicMicroseconds();
        device.Advance(now);
        if (!WriteOutput(device, terminal.fd())) {
            std::fprintf(report, "ostrel-sim: the line failed: %s\n", std::strerror(errno));
            return 1;
        }
        if (device.HangupRequested() &&
            hangup.Due(now, device.OutputSize() > 0 || terminal.UnreadByPc() > 0)) {
            terminal.Close();
            std::fprintf(report, "ostrel-sim: hung up\n");
            return 0;
        }

        std::optional<uint64_t> wakeUs = device.NextFrameDueUs();
        // Waiting for the PC to read: look again shortly.
        if (hangup.Started()) wakeUs = std::min(wakeUs.value_or(now + 1000), now + 1000);
        // Reading paused by the rate limit: the PC's bytes wait in the line until it allows.
        const size_t allowance = std::min(readLimit.Allowance(now), sizeof input);
        if (const std::optional<uint64_t> nextRead = readLimit.NextReadUs();
            allowance == 0 && nextRead)
            wakeUs = std::min(wakeUs.value_or(*nextRead), *nextRead);
        timespec timeout{};
        if (wakeUs) timeout = ToTimespec(*wakeUs > now ? *wakeUs - now : 0);
        pollfd fds[2] = {{terminal.fd(), static_cast<short>(allowance > 0 ? POLLIN : 0), 0},
                         {bus != nullptr ? bus->fd() : -1, POLLIN, 0}};
        pollfd& line = fds[0];
        if (device.OutputSize() > 0) line.events |= POLLOUT;
        const int ready = ppoll(fds, 2, wakeUs ? &timeout : nullptr, &maskDuringWait);
        if (stopRequested) return 0;
        if (reportRequested) {
            reportRequested = 0;
            std::fputs(FormatCounters(device.Counters()).c_str(), report);
            std::fflush(report);
        }
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::fprintf(report, "ostrel-sim: poll failed: %s\n", std::strerror(errno));
            return 1;
        }
        if (fds[1].revents & POLLIN) {
            CANBuffer frame;
            while (bus->Receive(frame)) device.ReceiveFromBus(frame, MonotonicMicroseconds());
        }
        if (line.revents & POLLIN) {
            const ssize_t count = read(terminal.fd(), input, allowance);
            if (count > 0) {
                readLimit.Consumed(static_cast<size_t>(count));
                device.Receive(input, static_cast<size_t>(count), MonotonicMicroseconds());
                continue;
            }
            if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        }
        if (line.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
            std::fprintf(report, "ostrel-sim: the line was closed\n");
            return 1;
        }
    }
}
