#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

#include "common/ticks.h"
#include "link/line_speed.h"

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    slavePath_ = ptsname(master_);
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave_ < 0 || tcgetattr(slave_, &settings) != 0)
        throw std::runtime_error("cannot open " + slavePath_);
    cfmakeraw(&settings);
    tcsetattr(slave_, TCSANOW, &settings);
}

PseudoTerminal::~PseudoTerminal() {
    if (slave_ >= 0) close(slave_);
    CloseMaster();
}

void PseudoTerminal::Send(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("write to the pseudo-terminal failed");
        done += static_cast<size_t>(n);
    }
}

bool PseudoTerminal::WaitUntilQueued(int count, int timeoutMs) {
    return BusyWaitFor(TickCount() + static_cast<uint64_t>(timeoutMs), [&] {
        int queued = 0;
        return ioctl(slave_, FIONREAD, &queued) == 0 && queued >= count;
    });
}

std::vector<uint8_t> PseudoTerminal::Receive(size_t count, int timeoutMs) {
    std::vector<uint8_t> bytes;
    const uint64_t deadline = TickCount() + static_cast<uint64_t>(timeoutMs);
    while (bytes.size() < count) {
        const uint64_t now = TickCount();
        if (now >= deadline) break;
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(deadline - now)) <= 0) break;
        uint8_t buffer[256];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

void PseudoTerminal::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

int PseudoTerminal::LineRate() const {
    return LineSpeed(slave_);
}
