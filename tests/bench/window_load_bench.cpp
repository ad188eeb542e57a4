// Prints what the main window costs while the device streams frames: the real TMainForm
// (offscreen) on the real PosixSerialPortDevice, connected by Auto Detect to ostrel-sim over a
// pseudo-terminal. For each load it prints the process's CPU share of one core, how often it
// went to sleep and woke up again, the longest stall of its event loop, and the frames per
// second the window received. Not a test: run it to see the figures.
//
//     window_load_bench [seconds per load, default 30] [only the loads whose title has this]
//
// Measuring starts once the window is connected, after the handshake's deliberate waits.
// Except where the load says otherwise, the frame store is emptied before it reaches its
// limit, as Reset CAN Log does, so that every frame takes the whole path into the store and
// onto the screen.

#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/brannox_application.h"
#include "app/main_form.h"
#include "app/sim_connected_form.h"
#include "event_loop_bench_support.h"
#include "session/handle_can.h"
#include "support/process_usage.h"
#include "views/frame_range_window.h"
#include "views/identifier_page.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultSeconds = 30;
// How long the frames still on their way after the measured time may take to arrive.
constexpr int kDrainTimeoutMs = 5000;
// How long the store may take to fill before the measured time in its box.
constexpr int kFillTimeoutMs = 60000;
// One receive notification brings a few hundred frames at most.
constexpr uint32_t kEmptyStoreAt = FrameStore::kLimit - 10000;

struct Load {
    const char* title;
    QStringList simArguments;
    // Frames the simulator sends in all, when it stops by itself; 0 when it does not.
    uint64_t framesSent;
    // The store fills up, and the box that says so stays open, as when nobody is at the
    // screen: the measured time runs in the box's own event loop.
    bool storeFills = false;
    // The Frames by Identifier window is open beside the main window.
    bool identifierWindow = false;
    // Show Message Range is open beside the main window, following the newest frame.
    bool messageRangeFollowing = false;
};

// Counts the frames the window receives: the session's count, which goes on past the store's
// limit. Unless the store may fill, it empties the store after each receive notification
// once the store nears its limit.
class FrameCounter {
  public:
    FrameCounter(HandleCAN& session, SerialPortDevice& port, bool storeFills)
        : session_(session), port_(port), windowHandler_(port.onRxChar), base_(session.count) {
        if (storeFills) return;
        port_.onRxChar = [this](int reported) {
            windowHandler_(reported);
            EmptyIfNearlyFull();
        };
    }
    ~FrameCounter() { port_.onRxChar = windowHandler_; }
    FrameCounter(const FrameCounter&) = delete;
    FrameCounter& operator=(const FrameCounter&) = delete;

    uint64_t Total() const { return emptied_ + session_.count - base_; }

  private:
    void EmptyIfNearlyFull() {
        if (session_.count < kEmptyStoreAt) return;
        emptied_ += session_.count - base_;
        base_ = 0;
        session_.ClearFrames();
    }

    HandleCAN& session_;
    SerialPortDevice& port_;
    std::function<void(int)> windowHandler_;
    uint64_t base_;
    uint64_t emptied_ = 0;
};

// The simulator's own frame counts, lost ones included (frames it could not hand to a
// program that fell behind), as it reports them on SIGUSR1.
std::string SimulatorFrameCounts(SimProcess& sim) {
    const std::string report = sim.Counters(kDrainTimeoutMs);
    const size_t start = report.find("frames generated");
    const size_t end = report.find('\n', start);
    return start == std::string::npos || end == std::string::npos
               ? std::string()
               : report.substr(start, end - start);
}

// Runs the event loop for `seconds` and prints what it cost.
void MeasureEventLoop(int seconds, const FrameCounter& received) {
    StallProbe probe;
    const uint64_t framesBefore = received.Total();
    const ProcessUsage before = ProcessUsageNow();
    const Clock::time_point start = Clock::now();
    probe.Start();
    RunEventLoop(seconds * 1000);
    probe.Stop();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const ProcessUsage after = ProcessUsageNow();
    std::printf(
        "  %.1f s: CPU %.1f %% of one core, %.0f sleeps/s, %.0f frames/s received\n"
        "  longest stall %.1f ms (the thread ran %.1f ms of the %.1f ms between ticks)\n",
        elapsed, (after.cpuSeconds - before.cpuSeconds) / elapsed * 100,
        static_cast<double>(after.sleeps - before.sleeps) / elapsed,
        static_cast<double>(received.Total() - framesBefore) / elapsed, probe.LongestStallMs(),
        probe.RunningInLongestGapMs(), probe.LongestGapMs());
}

void Measure(const Load& load, int seconds) {
    std::printf("%s\n", load.title);
    SimConnectedForm window(load.simArguments, false);
    if (!window.StartAndConnect()) {
        std::printf("  the window did not connect to the simulator\n");
        return;
    }
    TMainForm& form = window.form;
    FrameCounter received(form.session(), window.comPort, load.storeFills);
    if (load.identifierWindow) form.FramesByIdentifier1Click();
    if (load.messageRangeFollowing) {
        form.ShowMessageRange1Click();
        form.frameRangeWindow().cbFollow->setChecked(true);
    }
    if (load.storeFills) {
        bool measured = false;
        window.messages.whileShown = [&] {
            MeasureEventLoop(seconds, received);
            measured = true;
        };
        RunEventLoop(kFillTimeoutMs, [&] { return measured; });
        if (!measured) std::printf("  the store did not fill\n");
    } else {
        MeasureEventLoop(seconds, received);
    }
    if (load.framesSent != 0) {
        RunEventLoop(kDrainTimeoutMs, [&] { return received.Total() >= load.framesSent; });
        std::printf("  frames received: %llu of %llu sent\n",
                    static_cast<unsigned long long>(received.Total()),
                    static_cast<unsigned long long>(load.framesSent));
    }
    std::printf("  simulator: %s\n", SimulatorFrameCounts(window.sim).c_str());
    for (const RecordingUserMessages::Box& box : window.messages.boxes)
        std::printf("  message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    window.messages.whileShown = nullptr;
    form.DisconnectClick();
    form.identifierPage().hide();
    form.frameRangeWindow().hide();
    form.hide();
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = SecondsArgument(argc, argv, kDefaultSeconds);
    const QString only = argc > 2 ? QString(argv[2]) : QString();
    const BenchSettingsFolder settings;
    BrannoxApplication app(argc, argv);

    constexpr uint64_t kBusRate = 8000;  // frames a second on a saturated 1 Mbit/s bus
    const QString busRate = QString::number(kBusRate);
    const uint64_t busFrames = kBusRate * static_cast<uint64_t>(seconds);
    const QString busCount = QString::number(busFrames);
    // The store's limit is reached after 50000 / 8000 = 6.25 s; the load that fills it sends
    // enough for that and the measured time.
    const uint64_t fillFrames = FrameStore::kLimit + busFrames;
    // 2000 distinct standard identifiers, 000 to 7CF.
    QStringList ids;
    for (int id = 0; id < 2000; ++id) ids << QString("%1").arg(id, 3, 16, QChar('0'));
    const QStringList manyIds = {"--rate",  busRate,  "--dlc", "8",
                                 "--count", busCount, "--ids", ids.join(',')};
    const Load loads[] = {
        {"connected, no traffic", {"--count", "0"}, 0},
        {"8000 frames/s (8 data bytes)",
         {"--rate", busRate, "--dlc", "8", "--count", busCount},
         busFrames},
        {"8000 frames/s, the store full and its message box left open",
         {"--rate", busRate, "--dlc", "8", "--count", QString::number(fillFrames)},
         fillFrames,
         true},
        {"as fast as the pseudo-terminal carries (8 data bytes)", {"--rate", "0", "--dlc", "8"}, 0},
        {"8000 frames/s, 2000 identifiers, Status page", manyIds, busFrames},
        {.title = "8000 frames/s, 2000 identifiers, Status page and Frames by Identifier",
         .simArguments = manyIds,
         .framesSent = busFrames,
         .identifierWindow = true},
        {.title = "8000 frames/s, 2000 identifiers, Status page and Show Message Range following",
         .simArguments = manyIds,
         .framesSent = busFrames,
         .messageRangeFollowing = true},
    };
    for (const Load& load : loads)
        if (QString(load.title).contains(only)) Measure(load, seconds);
    return 0;
}
