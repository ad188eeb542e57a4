// Prints how evenly the Transmit List runs a looped list, measured where it counts: at the
// device. The real window, shown offscreen and connected to ostrel-sim, loops a list of frame
// lines at gaps of 1, 10 and 100 ms under its own event loop, as the program runs; the spacing
// of the frames' arrivals in the simulator's trace is compared with the gap. The same is
// printed for the moments the program finished handling each tick, which tells the program's
// share of the error from the terminal's and the simulator's. The program's processor time per
// frame shows how much of the event loop a run takes, and the run's clock ticking alone shows
// what the machine allows. Not a test: run it to see the figures.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/brannox_application.h"
#include "sim_connected_form.h"
#include "support/named_child.h"
#include "transmit/transmit_list_page.h"

namespace {

struct Spread {
    double medianMs = 0;
    double p99Ms = 0;
    double maxMs = 0;
    double meanSpacingMs = 0;
};

// How far the spacings of successive times stray from the gap.
Spread SpacingError(const std::vector<uint64_t>& timesUs, int gapMs) {
    std::vector<double> errors;
    for (size_t i = 1; i < timesUs.size(); ++i)
        errors.push_back(
            std::abs(static_cast<double>(timesUs[i] - timesUs[i - 1]) / 1000.0 - gapMs));
    if (errors.empty()) return {};
    std::sort(errors.begin(), errors.end());
    const auto at = [&](double share) {
        return errors[std::min(errors.size() - 1, static_cast<size_t>(share * errors.size()))];
    };
    const double spanMs = static_cast<double>(timesUs.back() - timesUs.front()) / 1000.0;
    return {at(0.5), at(0.99), errors.back(), spanMs / static_cast<double>(errors.size())};
}

void Print(const char* where, const Spread& spread) {
    std::printf(
        "  %-21s error median %6.3f ms, 99th percentile %6.3f ms, max %7.3f ms; "
        "mean spacing %8.3f ms\n",
        where, spread.medianMs, spread.p99Ms, spread.maxMs, spread.meanSpacingMs);
}

double ProcessCpuSeconds() {
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9;
}

// The program's own event loop, as app.exec() runs it, for a while.
void RunEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void MeasureGap(int gapMs, int frames) {
    SimConnectedForm sim({"--count", "0"});
    if (!sim.StartAndConnect()) {
        std::printf("gap %d ms: the window did not connect to the simulator\n", gapMs);
        return;
    }
    TransmitListPage& page = sim.form.transmitListPage();
    sim.form.findChild<QTabWidget*>("Tabs")->setCurrentWidget(&page);
    NamedChild<QPlainTextEdit>(page, "eTxList")
        ->setPlainText(
            "123,0,0,8,1,2,3,4,5,6,7,8\n"
            "; the comment costs no gap\n"
            "18EF2000,1,0,8,11,22,33,44,55,66,77,88\n"
            "7FF,0,1,0\n");
    NamedChild<QComboBox>(page, "cbGap")->setCurrentText(QString::number(gapMs));
    NamedChild<QCheckBox>(page, "cbLoopMsgs")->setChecked(true);

    std::vector<uint64_t> ticksUs;
    ticksUs.reserve(static_cast<size_t>(frames) + 100);
    QObject::connect(&page.Runner().Timer(), &PreciseTicker::timeout, &page,
                     [&] { ticksUs.push_back(TraceClockUs()); });
    const size_t before = sim.FramesFromPc().size();
    ticksUs.push_back(TraceClockUs());  // Transmit All sends the first line itself
    const double cpuStart = ProcessCpuSeconds();
    page.bTransmitAllClick();
    RunEventLoopFor(gapMs * frames);
    const double cpuSeconds = ProcessCpuSeconds() - cpuStart;
    sim.form.actions().bStopTx->trigger();
    RunEventLoopFor(100);  // the last frames reach the simulator

    std::vector<uint64_t> arrivalsUs;
    const std::vector<TracedPacket> traced = sim.FramesFromPc();
    for (size_t i = before; i < traced.size(); ++i) arrivalsUs.push_back(traced[i].timeUs);
    const double spanS = arrivalsUs.size() < 2
                             ? 0
                             : static_cast<double>(arrivalsUs.back() - arrivalsUs.front()) / 1e6;
    std::printf(
        "gap %d ms: %zu frames in %.3f s = %.1f frames/s (%zu timer ticks), "
        "program CPU %.1f us per frame\n",
        gapMs, arrivalsUs.size(), spanS,
        spanS > 0 ? static_cast<double>(arrivalsUs.size() - 1) / spanS : 0.0, ticksUs.size(),
        cpuSeconds / static_cast<double>(ticksUs.size()) * 1e6);
    Print("arrival at simulator:", SpacingError(arrivalsUs, gapMs));
    Print("tick done in program:", SpacingError(ticksUs, gapMs));
}

// The floor the machine sets: the run's clock ticking alone in an empty event loop, with no
// window and no simulator.
void MeasureBareClock(int gapMs, int ticks) {
    PreciseTicker ticker;
    std::vector<uint64_t> ticksUs{TraceClockUs()};
    QObject::connect(&ticker, &PreciseTicker::timeout, [&] { ticksUs.push_back(TraceClockUs()); });
    ticker.start(gapMs);
    RunEventLoopFor(gapMs * ticks);
    std::printf("bare clock, gap %d ms: %zu ticks\n", gapMs, ticksUs.size());
    Print("tick:", SpacingError(ticksUs, gapMs));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    BrannoxApplication app(argc, argv);
    MeasureGap(1, 5000);
    MeasureGap(10, 1000);
    MeasureGap(100, 100);
    MeasureBareClock(10, 1000);
    return 0;
}
