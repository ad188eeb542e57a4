// ostrel-send: sends CAN frames through an Ostrel with acknowledgement. See --help.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "command_line.h"
#include "logs/read_log_file.h"
#include "send_options.h"
#include "stop_signals.h"
#include "tool_session.h"

namespace {

constexpr char kProgram[] = "ostrel-send";

int Fail(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
    return kExitFailure;
}

// One frame to send and how long after the one before it.
struct PlannedFrame {
    CANBuffer frame;
    uint64_t delayUs = 0;
};

// The frames of one pass, with their spacing: -g when given, else the log's own times.
std::vector<PlannedFrame> Plan(const SendOptions& options, const std::vector<LogFrame>& log) {
    std::vector<PlannedFrame> pass;
    if (options.logFile.empty()) pass.push_back({options.frame, 0});
    for (size_t i = 0; i < log.size(); ++i) {
        const uint64_t own =
            i == 0 || log[i].timeUs < log[i - 1].timeUs ? 0 : log[i].timeUs - log[i - 1].timeUs;
        pass.push_back({log[i].frame, own});
    }
    if (options.gapMs >= 0)
        for (PlannedFrame& planned : pass) planned.delayUs = uint64_t(options.gapMs) * 1000;
    return pass;
}

// Lets the event loop run until `dueUs` on `clock`, woken by a precise timer at that time.
void WaitUntil(ToolSession& tool, const QElapsedTimer& clock, uint64_t dueUs) {
    const auto nowUs = [&clock] { return static_cast<uint64_t>(clock.nsecsElapsed() / 1000); };
    if (nowUs() >= dueUs) return;
    QTimer due;
    due.setSingleShot(true);
    due.setTimerType(Qt::PreciseTimer);
    due.start(static_cast<int>((dueUs - nowUs() + 999) / 1000));
    tool.RunUntil([&] { return nowUs() >= dueUs; });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string error;
    const SendOptions options =
        ParseSendOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    std::vector<LogFrame> log;
    LogReadError logError;
    if (error.empty() && !options.help && !options.logFile.empty() &&
        !ReadLogFile(options.logFile, log, logError))
        error = "-f: " + options.logFile + ": " +
                (logError.place.empty() ? "" : logError.place + ": ") + logError.reason;
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", BadUsageLine(kProgram, error).c_str());
        return kExitBadUsage;
    }
    if (options.help) {
        std::fputs(SendHelpText().c_str(), stdout);
        return kExitOk;
    }
    const std::vector<PlannedFrame> pass = Plan(options, log);
    if (pass.empty()) return Fail("no frames in " + options.logFile);
    InstallStopSignals();

    ConfigRecord config;
    config.busRate = options.device.busRate;
    config.loopback = options.device.loopback ? 1 : 0;
    ToolSession tool(config, false);
    if (!tool.Connect(options.device.port, options.device.serialRate, error)) return Fail(error);

    const uint64_t total = pass.size() * options.count;
    QElapsedTimer clock;
    clock.start();
    uint64_t dueUs = 0;
    for (uint64_t sent = 0; sent < total; ++sent) {
        const PlannedFrame& planned = pass[sent % pass.size()];
        if (sent > 0) dueUs += planned.delayUs;
        WaitUntil(tool, clock, dueUs);
        if (StopRequested())
            return Fail("stopped after " + std::to_string(sent) + " of " + std::to_string(total) +
                        " frames");
        HandleCAN& session = tool.session();
        session.TransmitFrame(planned.frame, true);
        // The acknowledgement cancels the timer; its expiry disconnects the session.
        tool.RunUntil([&] { return session.PendingTimers() == 0 || !tool.CurrentSerial(); });
        if (!tool.CurrentSerial())
            return Fail(tool.failure + " (frame " + std::to_string(sent + 1) + " of " +
                        std::to_string(total) + ")");
        if (session.PendingTimers() != 0)
            return Fail("stopped waiting for the acknowledgement of frame " +
                        std::to_string(sent + 1) + " of " + std::to_string(total));
    }
    return kExitOk;
}
