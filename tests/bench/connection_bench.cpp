// Prints what the connection commands cost the window: launch to the window shown beside a
// minimal Qt window built in the same run, launch to connected with ostrel-sim (the device's
// 500 ms settle included), and the longest stall of the event loop during Connect and during
// Auto Detect over eight ports (seven silent pseudo-terminals and the simulator last), with
// the ports probed at once and, for reference, one after the other. Not a test: run it to see
// the figures.
//
//     connection_bench [runs of each launch, default 5]
//
// Launch to shown starts a process of this program for each window, so both pay for starting
// a Qt program alike; launch to connected starts once the application object exists.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/brannox_application.h"
#include "app/main_form.h"
#include "config/config_file.h"
#include "config/config_record.h"
#include "event_loop_bench_support.h"
#include "link/posix_serial_port_device.h"
#include "link/pseudo_terminal.h"
#include "session/handle_can.h"
#include "sim/sim_process.h"
#include "support/recording_user_messages.h"

namespace {

constexpr int kWaitLimitMs = 20000;
constexpr int kDesignedWidth = 642;
constexpr int kDesignedHeight = 557;
constexpr int kSilentPorts = 7;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ElapsedMs(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The real window on a real serial component, with a settings folder of its own.
struct Window {
    explicit Window(std::function<std::vector<std::string>()> ports, bool probeAtOnce = true)
        : form(Services(std::move(ports), probeAtOnce)) {}

    MainFormServices Services(std::function<std::vector<std::string>()> ports, bool probeAtOnce) {
        MainFormServices services{comPort, messages, config, std::move(ports),
                                  folder.filePath("BRANNOX.INI").toStdString()};
        if (probeAtOnce)
            services.makeProbePort = [] { return std::make_unique<PosixSerialPortDevice>(); };
        return services;
    }

    QTemporaryDir folder;
    ConfigRecord config;
    RecordingUserMessages messages;
    PosixSerialPortDevice comPort;
    TMainForm form;
};

std::vector<std::string> NoPorts() {
    return {};
}

// Checks `done` every millisecond, so that the time it turns true is known to about that.
bool WaitFor(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) loop.quit();
    });
    check.start(1);
    QTimer::singleShot(kWaitLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// In a process of its own, so that the figure includes starting the program: builds the
// window (`minimal`, or Brannox's with its start-up), shows it and says so on standard output.
int ShowAndSay(const QString& which) {
    std::unique_ptr<QWidget> window;
    std::unique_ptr<Window> brannox;
    if (which == "minimal") {
        window = std::make_unique<QMainWindow>();
        window->resize(kDesignedWidth, kDesignedHeight);
    } else {
        brannox = std::make_unique<Window>(NoPorts);
        brannox->form.FormCreate();
    }
    QWidget& shown = window ? *window : static_cast<QWidget&>(brannox->form);
    shown.show();
    if (!QTest::qWaitForWindowExposed(&shown)) return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    return 0;
}

double LaunchToShownMs(const char* program, const QString& which) {
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(program, {"--show", which});
    while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
        if (child.canReadLine() && child.readLine().startsWith("shown")) {
            const double ms = ElapsedMs(clock);
            child.waitForFinished(kWaitLimitMs);
            return ms;
        }
        child.waitForReadyRead(kWaitLimitMs);
    }
    return -1;
}

void LaunchToShown(const char* program, int runs) {
    std::vector<double> minimal;
    std::vector<double> brannox;
    for (int run = 0; run < runs; ++run) {
        minimal.push_back(LaunchToShownMs(program, "minimal"));
        brannox.push_back(LaunchToShownMs(program, "brannox"));
    }
    std::printf(
        "Launch to window shown (process start, median of %d): minimal Qt window %.1f ms, "
        "Brannox %.1f ms, ratio %.2f\n",
        runs, Median(minimal), Median(brannox), Median(brannox) / Median(minimal));
}

void LaunchToConnected(const SimProcess& sim, int runs) {
    std::vector<double> connected;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        Window window(NoPorts);
        window.form.FormCreate();
        window.form.SetPortName(sim.port());  // as a saved port would be
        window.form.show();
        if (!WaitFor([&] { return window.form.session().connected; })) {
            std::printf("Launch to connected: no connection\n");
            return;
        }
        connected.push_back(ElapsedMs(clock));
    }
    std::printf(
        "Launch to connected (saved port, window built and shown, median of %d): %.1f ms, "
        "of which the device's settle is %d ms\n",
        runs, Median(connected), HandleCAN::kResetSettleMs);
}

// The window shown with a first run's settings, ready for a command.
bool Shown(Window& window) {
    LoadConfig(window.form.configPath(), window.config, window.form.Controls());
    window.form.show();
    return QTest::qWaitForWindowExposed(&window.form);
}

// The time and the event loop's stalls from its construction on.
struct Measured {
    Measured() {
        stalls.Start();
        clock.start();
    }
    StallProbe stalls;
    QElapsedTimer clock;
};

void ConnectStall(const SimProcess& sim) {
    Window window(NoPorts);
    if (!Shown(window)) return;
    window.form.SetPortName(sim.port());
    const Measured measured;
    const StallProbe& stalls = measured.stalls;
    const QElapsedTimer& clock = measured.clock;
    window.form.Connect1Click();
    if (!WaitFor([&] { return window.form.session().connected; })) return;
    std::printf(
        "Connect on the shown window: connected after %.1f ms; longest event-loop stall "
        "%.1f ms (the loop's thread ran %.1f ms of it)\n",
        ElapsedMs(clock), stalls.LongestStallMs(), stalls.RunningInLongestGapMs());
}

void AutoDetect(const std::vector<std::string>& ports, bool atOnce) {
    Window window([ports] { return ports; }, atOnce);
    if (!Shown(window)) return;
    const Measured measured;
    const StallProbe& stalls = measured.stalls;
    const QElapsedTimer& clock = measured.clock;
    window.form.AutoDetect1Click();
    const bool found = WaitFor([&] { return window.form.PortName() == ports.back(); });
    const double foundMs = ElapsedMs(clock);
    const bool connected = WaitFor([&] { return window.form.session().connected; });
    const double connectedMs = ElapsedMs(clock);
    if (!found || !connected) {
        std::printf("Auto Detect over %zu ports: the simulator was not found\n", ports.size());
        return;
    }
    std::printf(
        "Auto Detect over %zu ports (%s): found after %.1f ms, connected after %.1f ms; "
        "longest event-loop stall %.1f ms (the loop's thread ran %.1f ms of it)\n",
        ports.size(), atOnce ? "at once" : "one after the other", foundMs, connectedMs,
        stalls.LongestStallMs(), stalls.RunningInLongestGapMs());
}

}  // namespace

int main(int argc, char** argv) {
    const BenchSettingsFolder settings;
    if (argc == 3 && QString(argv[1]) == "--show") {
        BrannoxApplication app(argc, argv);
        return ShowAndSay(argv[2]);
    }
    const int runs = SecondsArgument(argc, argv, 5);
    BrannoxApplication app(argc, argv);

    LaunchToShown(argv[0], runs);

    SimProcess sim({}, false);
    if (sim.port().empty()) {
        std::printf("The simulator did not start\n");
        return 1;
    }

    std::vector<std::unique_ptr<PseudoTerminal>> silent;
    std::vector<std::string> ports;
    for (int i = 0; i < kSilentPorts; ++i) {
        silent.push_back(std::make_unique<PseudoTerminal>());
        ports.push_back(silent.back()->SlavePath());
    }
    ports.push_back(sim.port());
    AutoDetect(ports, true);
    AutoDetect(ports, false);
    LaunchToConnected(sim, runs);
    ConnectStall(sim);
    return 0;
}
