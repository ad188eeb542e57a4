#include "dump_options.h"

#include "command_line.h"
#include "common/can_limits.h"
#include "common/filter_slots.h"
#include "logs/can_text.h"

namespace {

const std::vector<OptionDefinition> kOptions = {
    {'L', "listen-only", nullptr}, {'B', "brief", nullptr}, {'a', "window-lines", nullptr},
    {'l', "log", "FILE"},          {'n', "count", "COUNT"}, {'T', "timeout", "SECONDS"},
    {'h', "help", nullptr}};

bool ApplyOption(const ParsedOption& option, DumpOptions& options, std::string& error) {
    switch (option.name) {
        case 'L':
            options.listenOnly = true;
            return true;
        case 'B':
            options.brief = true;
            return true;
        case 'a':
            options.windowLines = true;
            return true;
        case 'l':
            options.logFile = option.value;
            return !options.logFile.empty() || Fail(error, "-l expects a file name");
        case 'n':
            if (!ParseWholeNumber(option.value, 1, UINT64_MAX, options.count))
                return Fail(error, "-n expects a whole number of frames from 1");
            return true;
        case 'T':
            if (!ParsePositiveSeconds(option.value, options.seconds))
                return Fail(error, "-T expects a number of seconds above 0");
            return true;
        case 'h':
            options.help = true;
            return true;
        default:
            return false;
    }
}

}  // namespace

bool ParseFilterText(const std::string& text, FilterEntry& filter) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string idText = text.substr(0, colon);
    CanId id;
    CanId mask;
    if ((idText.size() != 3 && idText.size() != 8) || !ParseCanId(idText, id) ||
        !ParseCanId(text.substr(colon + 1), mask))
        return false;
    if (mask.id > MaxId(id.extended)) return false;
    filter = FilterEntry{id.id, mask.id, static_cast<uint8_t>(id.extended ? 1 : 0), {}};
    return true;
}

DumpOptions ParseDumpOptions(const std::vector<std::string>& args, std::string& error) {
    DumpOptions options;
    std::vector<std::string> operands;
    if (!ParseProgramOptions(args, kOptions, options, ApplyOption, operands, error)) return options;
    for (const std::string& operand : operands) {
        FilterEntry filter;
        if (!ParseFilterText(operand, filter)) {
            error = "bad filter '" + operand +
                    "': expected ID:MASK, the identifier in 3 hex digits (standard) or 8 "
                    "(extended), the mask within its bits";
            return options;
        }
        options.filters.push_back(filter);
    }
    if (options.filters.size() > kFilterSlots)
        error = "at most " + std::to_string(kFilterSlots) + " filters";
    return options;
}

std::string DumpHelpText() {
    return R"(Usage: ostrel-dump [options] [ID:MASK ...]

Prints every CAN frame an Ostrel receives, one candump log line each:
  (1.500000) can0 12345678#55AA
the device time in seconds, the interface, the identifier (3 hex digits standard, 8 extended),
'#' and the data bytes, or 'R' and the length for a response (remote) frame.

Options:
)" + std::string(kDeviceOptionsHelp) +
           R"(  -L, --listen-only      listen only: the device acknowledges nothing on the bus
  -B, --brief            brief mode: identifiers only, no data
  -a, --window-lines     print the frame log line of the Brannox window instead
  -l, --log FILE         also write the frames to FILE when ending: .log candump, .asc
                         Vector ASC, anything else comma-separated (the window's CSV)
  -n, --count COUNT      end after COUNT frames
  -T, --timeout SECONDS  end after SECONDS
  -h, --help             this text

Filters: up to six ID:MASK go to the device's acceptance filters; a frame passes when
(frame id & MASK) == (ID & MASK) and its kind matches. The device shares one mask between
filters 1-2 and one between filters 3-6, so at most two different masks, one of them used by
at most two filters.

Ctrl-C or SIGTERM ends it: the device is reset, the log written, and a summary (received,
lost, duration) goes to standard error. Frames the device flagged as lost are reported on
standard error as they happen.

Exit status: 0 on a clean end, 1 when the port or the device failed, 2 for a bad command line.
)";
}
