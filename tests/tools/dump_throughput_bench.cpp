// Prints how ostrel-dump keeps up with the simulator at its highest rate (--rate 0) when it
// writes into a pipe, and its processor time per frame beside that of the window's receive
// path (PosixSerialPortDevice, Serial, Frame, HandleCAN, store) fed the same way in the same run.
// Not a test: run it to see the figures.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "sim/pc_session.h"
#include "sim/sim_process.h"
#include "support/process_usage.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

QStringList SimArguments(int frames) {
    return {"--rate", "0", "--count", QString::number(frames), "--dlc", "8"};
}

// The window's path, as the simulator's own benchmark measures it; CPU per frame in us.
double WindowPath(int frames) {
    SimProcess sim(SimArguments(frames), false);
    PcSession pc;
    if (!pc.Connect(sim.port()) || !pc.RunUntil([&] { return pc.session.connected; }, 5000)) {
        std::printf("window path: the simulator did not answer\n");
        return 0;
    }
    const Clock::time_point start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    pc.RunUntil([&] { return pc.store().Size() >= static_cast<size_t>(frames); }, 60000);
    const double elapsed = Seconds(Clock::now() - start);
    const double stored = static_cast<double>(pc.store().Size());
    const double perFrame = (ProcessCpuSeconds() - cpuStart) / stored * 1e6;
    std::printf("window path:  %7.0f of %d frames in %.3f s = %6.0f frames/s, CPU %.2f us/frame\n",
                stored, frames, elapsed, stored / elapsed, perFrame);
    return perFrame;
}

// ostrel-dump -n FRAMES with its standard output a pipe that this process reads; CPU per frame
// in us, the whole program (start, handshake and reset included).
double Dump(int frames) {
    SimProcess sim(SimArguments(frames), false);
    QProcess dump;
    dump.setProgram(OSTREL_DUMP_PATH);
    dump.setArguments(
        {"-p", QString::fromStdString(sim.port()), "-n", QString::number(frames), "-T", "120"});
    const double cpuBefore = ProcessUsageNow(RUSAGE_CHILDREN).cpuSeconds;
    const Clock::time_point start = Clock::now();
    dump.start();
    long lines = 0;
    while (dump.state() != QProcess::NotRunning || dump.bytesAvailable() > 0) {
        dump.waitForReadyRead(100);
        const QByteArray text = dump.readAllStandardOutput();
        lines += std::count(text.begin(), text.end(), '\n');
    }
    dump.waitForFinished();
    const double elapsed = Seconds(Clock::now() - start);
    const double perFrame = (ProcessUsageNow(RUSAGE_CHILDREN).cpuSeconds - cpuBefore) /
                            static_cast<double>(lines) * 1e6;
    const QByteArray summary = dump.readAllStandardError().trimmed();
    std::printf(
        "ostrel-dump:  %7ld of %d frames in %.3f s (from start) = %6.0f frames/s, CPU "
        "%.2f us/frame, exit %d, %s\n",
        lines, frames, elapsed, static_cast<double>(lines) / elapsed, perFrame, dump.exitCode(),
        summary.constData());
    return perFrame;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The window's store holds 50000 frames; ostrel-dump's start and handshake are spread
    // over more of them as well.
    for (int run = 0; run < 3; ++run) {
        const double window = WindowPath(50000);
        Dump(50000);
        const double dump = Dump(500000);
        std::printf("run %d: ostrel-dump (500000 frames) / window path = %.2f\n\n", run + 1,
                    window > 0 ? dump / window : 0);
    }
    return 0;
}
