// ostrel-dump: prints the frames an Ostrel receives as candump log lines. See --help.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

#include "command_line.h"
#include "common/user_messages.h"
#include "dump_options.h"
#include "filters/fast_filter_slots.h"
#include "logs/candump_log.h"
#include "logs/save_message_log.h"
#include "monitor/frame_line.h"
#include "stop_signals.h"
#include "tool_session.h"

namespace {

constexpr char kProgram[] = "ostrel-dump";
// Enough for every line of one delivery from the port, so that none is written in between.
constexpr size_t kOutputBufferSize = 1 << 20;

void PrintError(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
}

// The device's setup from the options; false with `error` when the filters do not fit.
bool SetUp(const DumpOptions& options, ConfigRecord& config, std::string& error) {
    config.busRate = options.device.busRate;
    config.listenOnly = options.listenOnly ? 1 : 0;
    config.loopback = options.device.loopback ? 1 : 0;
    if (options.filters.empty()) return true;
    FastFilterSlots placed;
    if (!PlaceFastFilters(options.filters, placed, error)) return false;
    config.useFilters = 1;
    config.filterCount = static_cast<int32_t>(placed.size());
    std::copy(placed.begin(), placed.end(), config.filters);
    return true;
}

// Prints the frames and keeps the counts.
class FramePrinter {
  public:
    explicit FramePrinter(const DumpOptions& options) : options_(options) {}

    void Print(const CANBuffer& record) {
        if (options_.count != 0 && received >= options_.count) return;
        ++received;
        if (record.FramesLost()) {
            ++lost;
            std::fprintf(stderr, "%s: the device lost frames before frame %u\n", kProgram,
                         record.sequence);
        }
        if (!options_.logFile.empty()) kept.Append(record);
        // A brief frame carries no time of its own: it gets the last one known, as in a log
        // file, so the lines stay in time order.
        CANBuffer shown = record;
        if (!record.brief) lastTime_ = record.timestamp;
        if (record.brief) shown.timestamp = lastTime_;
        const std::string line =
            options_.windowLines ? FormatFrameLine(record, false) : CandumpLine(shown);
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    // The lines of one delivery from the port go out together: a reader of a pipe or a
    // terminal sees each frame as it comes, without a write for every line.
    static void Deliver() {
        if (std::fflush(stdout) != 0) RequestStop();
    }
    bool Done() const { return options_.count != 0 && received >= options_.count; }

    uint64_t received = 0;
    uint64_t lost = 0;
    FrameStore kept;

  private:
    const DumpOptions& options_;
    uint32_t lastTime_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string error;
    const DumpOptions options =
        ParseDumpOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    ConfigRecord config;
    if (error.empty() && !options.help) SetUp(options, config, error);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", BadUsageLine(kProgram, error).c_str());
        return kExitBadUsage;
    }
    if (options.help) {
        std::fputs(DumpHelpText().c_str(), stdout);
        return kExitOk;
    }
    // Flushed after every delivery from the port (FramePrinter::Deliver), never in between.
    std::setvbuf(stdout, nullptr, _IOFBF, kOutputBufferSize);
    InstallStopSignals();

    ToolSession tool(config, options.brief);
    FramePrinter printer(options);
    tool.onFrame = [&printer](const CANBuffer& record) { printer.Print(record); };
    tool.onDelivered = &FramePrinter::Deliver;
    if (!tool.Connect(options.device.port, options.device.serialRate, error) && !StopRequested()) {
        PrintError(error);
        return kExitFailure;
    }
    QElapsedTimer clock;
    clock.start();
    const int limitMs =
        options.seconds > 0 ? static_cast<int>(std::min(options.seconds * 1000, 2e9)) : -1;
    tool.RunUntil([&] { return printer.Done() || tool.CurrentSerial() == nullptr; }, limitMs);
    tool.Disconnect();
    const double seconds = static_cast<double>(clock.elapsed()) / 1000;
    std::fflush(stdout);

    int exitCode = kExitOk;
    if (!tool.failure.empty()) {
        PrintError(tool.failure);
        exitCode = kExitFailure;
    }
    if (!options.logFile.empty() && printer.kept.Empty()) {
        PrintError("no frames, so " + options.logFile + " was not written");
    } else if (!options.logFile.empty()) {
        WindowlessUserMessages messages;
        if (!SaveMessageLog(printer.kept, options.logFile, messages)) {
            // "Cannot write file", the path and the reason, on one line.
            std::string text = messages.lastMessage;
            std::replace(text.begin(), text.end(), '\n', ' ');
            PrintError(text);
            exitCode = kExitFailure;
        }
    }
    std::fprintf(stderr, "%s: %llu frames received, %llu lost-frame flags, %.3f s\n", kProgram,
                 static_cast<unsigned long long>(printer.received),
                 static_cast<unsigned long long>(printer.lost), seconds);
    return exitCode;
}
