// Prints the simulator's throughput into a pseudo-terminal and the end-to-end throughput of
// the program's receive path (PosixSerialPortDevice, Serial, Frame, HandleCAN, store) fed by it.
// Not a test: run it to see the figures.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "link/frame.h"
#include "pc_session.h"
#include "sim_ports/simulated_port_registry.h"
#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double ProcessCpuSeconds() {
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9;
}

// A reader that does nothing but count packets: 0x55 only ever starts one.
void SimulatorAlone(int frames) {
    SimProcess sim({"--rate", "0", "--count", QString::number(frames), "--dlc", "8"});
    const int fd = open(SimulatedPortDevice(sim.port()).c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::printf("simulator alone: cannot open %s\n", sim.port().c_str());
        return;
    }
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    const uint8_t handshake[] = {0x55, 'Y', 0x00, 0x55, 'C', 0x01, 0x01};
    if (write(fd, handshake, sizeof handshake) != sizeof handshake) return;

    const long packets = frames + 1;  // the 'Z' first
    long seen = 0;
    long bytes = 0;
    Clock::time_point first{};
    uint8_t buffer[65536];
    while (seen < packets) {
        pollfd line{fd, POLLIN, 0};
        if (poll(&line, 1, 10000) <= 0) break;
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0) break;
        if (seen == 0) first = Clock::now();
        bytes += count;
        for (ssize_t i = 0; i < count; ++i) seen += buffer[i] == Frame::kStart;
    }
    const double elapsed = Seconds(Clock::now() - first);
    close(fd);
    std::printf(
        "simulator alone:  %ld frames (8 data bytes) in %.3f s = %.0f frames/s, %.1f MB/s\n",
        seen - 1, elapsed, static_cast<double>(seen - 1) / elapsed,
        static_cast<double>(bytes) / elapsed / 1e6);
}

void EndToEnd(int frames) {
    SimProcess sim({"--rate", "0", "--count", QString::number(frames), "--dlc", "8"});
    PcSession pc;
    if (!pc.Connect(sim.port()) || !pc.RunUntil([&] { return pc.session.connected; }, 5000)) {
        std::printf("end to end: the simulator did not answer\n");
        return;
    }
    const Clock::time_point start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    pc.RunUntil([&] { return pc.store().Size() >= static_cast<size_t>(frames); }, 60000);
    const double elapsed = Seconds(Clock::now() - start);
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double stored = static_cast<double>(pc.store().Size());
    std::printf(
        "end to end:       %.0f frames (8 data bytes) in %.3f s = %.0f frames/s, "
        "receiver CPU %.2f us/frame (%.0f%% of a core)\n",
        stored, elapsed, stored / elapsed, cpu / stored * 1e6, cpu / elapsed * 100);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int run = 0; run < 3; ++run) SimulatorAlone(1000000);
    // The store holds 50000 frames.
    for (int run = 0; run < 3; ++run) EndToEnd(50000);
    return 0;
}
