#include "send_options.h"

#include <algorithm>
#include <cctype>

#include "command_line.h"
#include "logs/candump_log.h"

namespace {

const std::vector<OptionDefinition> kOptions = {
    {'g', "gap", "MS"}, {'c', "count", "COUNT"}, {'f', "file", "FILE"}, {'h', "help", nullptr}};

constexpr uint64_t kMaxGapMs = 3600000;

bool ApplyOption(const ParsedOption& option, SendOptions& options, std::string& error) {
    uint64_t number = 0;
    switch (option.name) {
        case 'g':
            if (!ParseWholeNumber(option.value, 0, kMaxGapMs, number))
                return Fail(error,
                            "-g expects milliseconds from 0 to " + std::to_string(kMaxGapMs));
            options.gapMs = static_cast<int>(number);
            return true;
        case 'c':
            if (!ParseWholeNumber(option.value, 1, UINT32_MAX, options.count))
                return Fail(error, "-c expects a whole number from 1");
            return true;
        case 'f':
            options.logFile = option.value;
            return !options.logFile.empty() || Fail(error, "-f expects a file name");
        case 'h':
            options.help = true;
            return true;
        default:
            return false;
    }
}

}  // namespace

bool ParseFrameText(const std::string& text, CANBuffer& frame, std::string& error) {
    if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); }))
        return Fail(error, "bad frame '" + text + "': no blanks inside a frame");
    // The frame part of a candump log line, read by the log reader itself.
    LogFrame line;
    if (ReadCandumpLine("(0.0) can0 " + text, line, error) != LogLineKind::Frame)
        return Fail(error, "bad frame '" + text + "': " + error);
    frame = line.frame;
    return true;
}

SendOptions ParseSendOptions(const std::vector<std::string>& args, std::string& error) {
    SendOptions options;
    std::vector<std::string> operands;
    if (!ParseProgramOptions(args, kOptions, options, ApplyOption, operands, error)) return options;
    if (options.help) return options;
    if (!options.logFile.empty()) {
        if (!operands.empty()) error = "expects either a frame or -f FILE, not both";
        return options;
    }
    if (operands.size() != 1)
        error = "expects one frame such as 123#DEADBEEF, or -f FILE";
    else
        ParseFrameText(operands.front(), options.frame, error);
    return options;
}

std::string SendHelpText() {
    return R"(Usage: ostrel-send [options] FRAME
       ostrel-send [options] -f FILE

Sends CAN frames through an Ostrel, each with acknowledgement, the next only when the device
acknowledged the last. FRAME is written as candump and cansend write it:
  123#DEADBEEF     standard identifier (3 hex digits) and up to 8 data bytes
  12345678#11      extended identifier (8 hex digits)
  123#R  123#R4    response (remote) frame, with its length

Options:
)" + std::string(kDeviceOptionsHelp) +
           R"(  -g, --gap MS           milliseconds from one frame to the next (0 to 3600000)
  -c, --count COUNT      send the frame (or the whole file) COUNT times
  -f, --file FILE        send every frame of a log (candump, ASC, pcapng or Brannox's
                         CSV), with the log's own timing unless -g is given
  -h, --help             this text

Exit status: 0 when every frame was acknowledged; 1 with a one-line reason when the port, the
device or an acknowledgement failed (or Ctrl-C ended it early); 2 for a bad command line.
)";
}
