// A long run of the whole program under load: the real TMainForm (offscreen) connected by Auto
// Detect to ostrel-sim, which streams 8000 frames a second, while the Transmit List loops a
// list at a 10 ms gap. At the end it prints whether every frame arrived both ways, the
// resident memory at the start, when the frame store reached its limit and at the end, and
// the longest stall of the event loop. Not a test: scripts/soak.sh builds and runs it.
//
//     soak_bench [seconds, default 600]
//
// The store's limit is reached after 50000 / 8000 = 6.25 s. Its box stops the run, as it
// does for the user, who then starts it again; the soak does the same at once.

#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "app/brannox_application.h"
#include "app/main_form.h"
#include "app/sim_connected_form.h"
#include "event_loop_bench_support.h"
#include "session/handle_can.h"
#include "support/named_child.h"
#include "support/process_usage.h"
#include "transmit/transmit_list_page.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultSeconds = 600;
constexpr int kBusFramesPerSecond = 8000;
constexpr int kProgressEverySeconds = 60;
// How long the last frames may take to arrive once the simulator has sent them.
constexpr int kDrainTimeoutMs = 10000;
constexpr char kLoopedList[] =
    "123,0,0,8,11,22,33,44,55,66,77,88\n"
    "18EF2000,0,1,3,55,1B,D5\n"
    "7FF,1,0,0\n";

double MiB(long bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What the simulator counted, from the report it prints on SIGUSR1.
struct SimulatorCounts {
    unsigned long long framesFromPc = 0;  // 'F' packets received
    unsigned long long framesToPc = 0;
    unsigned long long framesLoopedBack = 0;  // the window's own, as the default loopback is on
    // Frames the device could not hand over: the window fell behind and its buffer overflowed.
    unsigned long long framesLost = 0;
};

std::optional<SimulatorCounts> ReadSimulatorCounts(SimProcess& sim) {
    const QString text = QString::fromStdString(sim.Counters(kDrainTimeoutMs));
    const auto number = [&](const char* pattern) -> std::optional<unsigned long long> {
        const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
        if (!match.hasMatch()) return std::nullopt;
        return match.captured(1).toULongLong();
    };
    const auto toPc = number(R"(sent to the PC (\d+))");
    const auto loopedBack = number(R"(looped back (\d+))");
    const auto lost = number(R"(, lost (\d+))");
    if (!toPc || !loopedBack || !lost) return std::nullopt;
    return SimulatorCounts{number(R"(packets received:.* F=(\d+))").value_or(0), *toPc, *loopedBack,
                           *lost};
}

const char* Verdict(unsigned long long a, unsigned long long b) {
    return a == b ? "equal" : "DIFFERENT";
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = SecondsArgument(argc, argv, kDefaultSeconds);
    const BenchSettingsFolder settings;
    BrannoxApplication app(argc, argv);

    const unsigned long long busFrames =
        static_cast<unsigned long long>(kBusFramesPerSecond) * static_cast<unsigned>(seconds);
    std::printf(
        "Soak: %d s, ostrel-sim at %d frames/s (8 data bytes, %llu frames), "
        "a looped transmit list at a 10 ms gap\n",
        seconds, kBusFramesPerSecond, busFrames);
    SimConnectedForm window({"--rate", QString::number(kBusFramesPerSecond), "--dlc", "8",
                             "--count", QString::number(busFrames)},
                            false);
    if (!window.StartAndConnect()) {
        std::printf("  the window did not connect to the simulator\n");
        return 1;
    }
    TMainForm& form = window.form;
    const HandleCAN& session = form.session();
    TransmitListPage& page = form.transmitListPage();
    const long residentAtStart = ResidentBytes();
    const Clock::time_point start = Clock::now();
    const double cpuAtStart = ProcessCpuSeconds();

    NamedChild<QPlainTextEdit>(page, "eTxList")->setPlainText(kLoopedList);
    NamedChild<QComboBox>(page, "cbGap")->setCurrentText("10");
    NamedChild<QCheckBox>(page, "cbLoopMsgs")->setChecked(true);
    NamedChild<QPushButton>(page, "bTransmitAll")->click();
    std::optional<long> residentAtLimit;
    double limitAfterSeconds = 0;
    window.messages.whileShown = [&] {
        residentAtLimit = ResidentBytes();
        limitAfterSeconds = SecondsSince(start);
        // The box stops the run once it is closed; start it again then.
        QTimer::singleShot(0, NamedChild<QPushButton>(page, "bTransmitAll"), &QPushButton::click);
    };

    // The log control keeps its last 100000 lines; until it has them, its text grows.
    const QPlainTextEdit& log = *form.findChild<QPlainTextEdit*>("FrameList");
    StallProbe probe;
    probe.Start();
    for (int done = 0; done < seconds; done += kProgressEverySeconds) {
        RunEventLoop(std::min(kProgressEverySeconds, seconds - done) * 1000);
        std::printf(
            "  %6.0f s: %u frames received, %.1f MiB resident, %d log lines, "
            "longest stall %.1f ms\n",
            SecondsSince(start), session.count, MiB(ResidentBytes()), log.blockCount(),
            probe.LongestStallMs());
        std::fflush(stdout);
    }
    page.bStopTxClick();
    const double cpuSeconds = ProcessCpuSeconds() - cpuAtStart;
    const double elapsed = SecondsSince(start);
    // The one-second tick that writes the sent counter, and the simulator's last frames.
    RunEventLoop(TMainForm::kSecondTimerMs + 200);
    const std::optional<SimulatorCounts> sim = ReadSimulatorCounts(window.sim);
    if (sim) RunEventLoop(kDrainTimeoutMs, [&] { return session.count >= sim->framesToPc; });
    probe.Stop();
    const long residentAtEnd = ResidentBytes();
    const auto sentByWindow = form.findChild<QLineEdit*>("eTransmitted")->text().toULongLong();
    if (sim) {
        std::printf(
            "  frames the simulator sent %llu (%llu of them looped back, %llu lost), "
            "the session's count %u: %s\n",
            sim->framesToPc, sim->framesLoopedBack, sim->framesLost, session.count,
            Verdict(sim->framesToPc, session.count));
        std::printf("  frames the window sent %llu, the simulator received %llu: %s\n",
                    sentByWindow, sim->framesFromPc, Verdict(sentByWindow, sim->framesFromPc));
    } else {
        std::printf("  the simulator did not report its counts\n");
    }
    std::printf("  resident memory: %.1f MiB at the start, ", MiB(residentAtStart));
    if (residentAtLimit)
        std::printf("%.1f MiB at the store limit (after %.1f s), ", MiB(*residentAtLimit),
                    limitAfterSeconds);
    else
        std::printf("the store limit never reached, ");
    std::printf("%.1f MiB at the end, with %d log lines\n", MiB(residentAtEnd), log.blockCount());
    std::printf(
        "  longest event-loop stall %.1f ms (the thread ran %.1f ms of the %.1f ms "
        "between probe ticks)\n",
        probe.LongestStallMs(), probe.RunningInLongestGapMs(), probe.LongestGapMs());
    std::printf("  CPU %.1f %% of one core over %.0f s\n", cpuSeconds / elapsed * 100, elapsed);
    for (const RecordingUserMessages::Box& box : window.messages.boxes)
        std::printf("  message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    window.messages.whileShown = nullptr;
    form.DisconnectClick();
    form.hide();
    return 0;
}
