#include "sim_options.h"

#include <charconv>
#include <functional>
#include <map>

#include "virtual_bus.h"

namespace {

constexpr uint64_t kMaxRate = 10000000;
constexpr double kMaxGarbage = 0.9;

bool ParseWhole(const std::string& text, uint64_t& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseShare(const std::string& text, double& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

bool ParseIdList(const std::string& text, std::vector<CanId>& ids) {
    for (const std::string& part : SplitCommas(text)) {
        CanId id;
        if (!ParseCanId(part, id)) return false;
        ids.push_back(id);
    }
    return true;
}

// "0-8", "8", "0,8,8" or "0-3,8": values 0..8 and ranges of them.
bool ParseDlcMix(const std::string& text, std::vector<uint8_t>& mix) {
    mix.clear();
    for (const std::string& part : SplitCommas(text)) {
        const size_t dash = part.find('-');
        uint64_t low = 0;
        uint64_t high = 0;
        if (!ParseWhole(part.substr(0, dash), low)) return false;
        high = low;
        if (dash != std::string::npos && !ParseWhole(part.substr(dash + 1), high)) return false;
        if (high > 8 || low > high) return false;
        for (uint64_t dlc = low; dlc <= high; ++dlc) mix.push_back(static_cast<uint8_t>(dlc));
    }
    return true;
}

bool ParseIdKind(const std::string& text, IdKind& kind) {
    static const std::map<std::string, IdKind> kinds = {
        {"std", IdKind::Standard}, {"ext", IdKind::Extended}, {"mixed", IdKind::Mixed}};
    const auto found = kinds.find(text);
    if (found == kinds.end()) return false;
    kind = found->second;
    return true;
}

struct OptionDefinition {
    // Empty for a switch without a value.
    const char* valueName;
    // Returns an explanation of a bad value, or an empty text.
    std::function<std::string(SimOptions&, const std::string&)> apply;
};

std::string WholeNumber(const std::string& value, uint64_t low, uint64_t high, uint64_t& out) {
    if (!ParseWhole(value, out) || out < low || out > high)
        return "expects a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    return {};
}

const std::map<std::string, OptionDefinition>& Definitions() {
    static const std::map<std::string, OptionDefinition> definitions = {
        {"--port",
         {"PATH",
          [](SimOptions& o, const std::string& v) {
              o.port = v;
              return v.empty() ? std::string("expects a terminal device path") : std::string();
          }}},
        {"--rate",
         {"N",
          [](SimOptions& o, const std::string& v) {
              uint64_t n = 0;
              std::string why = WholeNumber(v, 0, kMaxRate, n);
              o.generator.rate = static_cast<uint32_t>(n);
              return why;
          }}},
        {"--ids",
         {"LIST",
          [](SimOptions& o, const std::string& v) {
              return ParseIdList(v, o.generator.ids)
                         ? std::string()
                         : "expects hex identifiers separated by commas: up to 3 digits (at most "
                           "7FF) for a standard one, 4 to 8 digits (at most 1FFFFFFF) for an "
                           "extended one";
          }}},
        {"--id-kind",
         {"KIND",
          [](SimOptions& o, const std::string& v) {
              return ParseIdKind(v, o.generator.idKind) ? std::string()
                                                        : "expects std, ext or mixed";
          }}},
        {"--dlc",
         {"MIX",
          [](SimOptions& o, const std::string& v) {
              return ParseDlcMix(v, o.generator.dlcMix)
                         ? std::string()
                         : "expects DLC values 0 to 8 and ranges, separated by commas (0-8, 8, "
                           "0,8,8)";
          }}},
        {"--seed",
         {"N",
          [](SimOptions& o, const std::string& v) {
              uint64_t n = 0;
              std::string why = WholeNumber(v, 0, UINT32_MAX, n);
              o.generator.seed = static_cast<uint32_t>(n);
              return why;
          }}},
        {"--replay",
         {"FILE",
          [](SimOptions& o, const std::string& v) {
              o.replayFile = v;
              return v.empty() ? std::string("expects a log file") : std::string();
          }}},
        {"--fast",
         {"",
          [](SimOptions& o, const std::string&) {
              o.fast = true;
              return std::string();
          }}},
        {"--count",
         {"N",
          [](SimOptions& o, const std::string& v) {
              uint64_t n = 0;
              std::string why = WholeNumber(v, 0, UINT64_MAX, n);
              o.device.count = n;
              return why;
          }}},
        {"--lost-every",
         {"N",
          [](SimOptions& o, const std::string& v) {
              return WholeNumber(v, 1, UINT64_MAX, o.device.lostEvery);
          }}},
        {"--silent",
         {"",
          [](SimOptions& o, const std::string&) {
              o.device.silent = true;
              return std::string();
          }}},
        {"--no-ack",
         {"",
          [](SimOptions& o, const std::string&) {
              o.device.noAck = true;
              return std::string();
          }}},
        {"--garbage",
         {"P",
          [](SimOptions& o, const std::string& v) {
              return ParseShare(v, o.garbage) && o.garbage >= 0 && o.garbage <= kMaxGarbage
                         ? std::string()
                         : "expects a share from 0 to 0.9";
          }}},
        {"--drop-bytes",
         {"P",
          [](SimOptions& o, const std::string& v) {
              return ParseShare(v, o.dropBytes) && o.dropBytes >= 0 && o.dropBytes <= 1
                         ? std::string()
                         : "expects a share from 0 to 1";
          }}},
        {"--hangup-after",
         {"N",
          [](SimOptions& o, const std::string& v) {
              uint64_t n = 0;
              std::string why = WholeNumber(v, 0, UINT64_MAX, n);
              o.device.hangupAfter = n;
              return why;
          }}},
        {"--read-rate",
         {"BYTES_PER_S",
          [](SimOptions& o, const std::string& v) {
              return WholeNumber(v, 0, kMaxRate, o.readRate);
          }}},
        {"--trace",
         {"FILE",
          [](SimOptions& o, const std::string& v) {
              o.traceFile = v;
              return v.empty() ? std::string("expects a file name") : std::string();
          }}},
        {"--bus",
         {"NAME",
          [](SimOptions& o, const std::string& v) {
              o.bus = v;
              return ValidBusName(v) ? std::string()
                                     : "expects 1 to 64 letters, digits, '-', '_' or '.', not "
                                       "starting with '.'";
          }}},
        {"--help",
         {"",
          [](SimOptions& o, const std::string&) {
              o.help = true;
              return std::string();
          }}},
    };
    return definitions;
}

// Combinations that cannot mean anything.
std::string CheckCombinations(const std::vector<std::string>& given) {
    auto has = [&](const char* name) {
        for (const std::string& option : given)
            if (option == name) return true;
        return false;
    };
    if (has("--replay"))
        for (const char* generatorOnly : {"--rate", "--ids", "--id-kind", "--dlc", "--seed"})
            if (has(generatorOnly))
                return std::string(generatorOnly) +
                       " sets up the generator and cannot go with --replay";
    if (has("--fast") && !has("--replay")) return "--fast goes only with --replay";
    if (has("--ids") && has("--id-kind"))
        return "--id-kind is for random identifiers; the digits of each --ids entry tell its kind";
    return {};
}

}  // namespace

SimOptions ParseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    std::vector<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        if (name == "-h") name = "--help";
        if (const size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            inlineValue = true;
        }
        const auto definition = Definitions().find(name);
        if (definition == Definitions().end()) {
            error = "unknown option '" + args[i] + "'";
            return options;
        }
        const bool takesValue = *definition->second.valueName != '\0';
        if (!takesValue && inlineValue) {
            error = name + " takes no value";
            return options;
        }
        if (takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value (" + definition->second.valueName + ")";
                return options;
            }
            value = args[++i];
        }
        if (std::string why = definition->second.apply(options, value); !why.empty()) {
            error = name + " '" + value + "': " + why;
            return options;
        }
        given.push_back(name);
    }
    error = CheckCombinations(given);
    return options;
}

std::string SimHelpText() {
    return R"(Usage: ostrel-sim [OPTION]...
A simulated Ostrel CAN interface. It opens a pseudo-terminal, prints its path as the first
line of standard output and answers the Brannox packet protocol on it. While it runs,
Brannox's Auto Detect lists the port. Bus traffic starts once the PC has identified the
device ('Y' answered with 'Z') and set it up (at its 'C', or 500 ms after the 'Y'); the
reset 55 52 pauses it until the next handshake.

Line:
  --port PATH        serve this existing terminal device instead of a new pseudo-terminal
                     (it is not announced to Auto Detect)
  --read-rate BYTES_PER_S
                     read at most this many bytes a second from the line, as a device whose
                     input is slower than the line (0, the default: no limit)
  --trace FILE       write one line per packet: monotonic time in microseconds, '>' from
                     the PC or '<' to the PC, the letter and the payload in hex

Generated traffic (the default: 10 frames a second, random mixed identifiers, DLC 0-8):
  --rate N           frames per second; 0 sends as fast as the terminal takes them
  --ids LIST         identifiers taken in turn, hex, comma-separated: up to 3 digits for a
                     standard identifier (123), 4 to 8 for an extended one (18EF2000)
  --id-kind KIND     random identifiers: std, ext or mixed (default mixed)
  --dlc MIX          data lengths picked at random from values and ranges: 0-8, 8, 0,8,8
  --seed N           seed of the random identifiers, lengths and data (default 1)

Replayed traffic:
  --replay FILE      play a log with its own timing: a candump log, lines like
                     "(1436509052.249713) can0 0F1#0003004000" (3 hex digits: standard
                     identifier, 8: extended, #R: remote frame), a Vector ASC log, a pcapng
                     capture of SocketCAN frames, or a log Brannox saved as CSV
  --fast             play it as fast as the terminal takes it

Both:
  --count N          stop the traffic after N frames

Shared bus:
  --bus NAME         join the virtual CAN bus NAME, shared by every simulator of this user
                     started with the same name: a frame the PC sends reaches the PCs of the
                     other simulators as a received frame (as on one cable with two interfaces;
                     loopback and listen-only keep it off the bus as they do on a real one)

Faults:
  --lost-every N     lose every Nth frame that passed the filters; the next frame sent
                     carries the lost-frames bit 7 of its control byte (frames are also lost,
                     and flagged, when the PC does not read fast enough)
  --silent           never answer 'Y' (the PC reports that it cannot find the device)
  --no-ack           never answer 'G' with 'K' (the PC times out and disconnects)
  --garbage P        put random bytes (never 55) between packets, a share P of all bytes (0-0.9)
  --drop-bytes P     drop each byte of the packets to the PC with probability P (0-1)
  --hangup-after N   close the terminal after N frames, as an unplugged device does

  -h, --help         show this text

The device: filters are six slots in two groups (0-1 and 2-5), each group using the mask of
its first slot; a mask of 0 lets every frame through. Loopback returns sent frames as received
frames; listen-only keeps them off the bus; both still acknowledge 'G' with 'K'. Brief mode
sends 'H' packets with the six header bytes (control, identifier, DLC) only. Timestamps count
0.5 us ticks since power-on or the last reset.

Counters are printed to standard error on exit and on SIGUSR1. SIGINT and SIGTERM end the
simulator cleanly. Bad option values end it with exit code 2.

Environment: OSTREL_SIM_REGISTRY names the folder where running simulators announce their
ports (default $XDG_RUNTIME_DIR/ostrel-sim, or /tmp/ostrel-sim-<uid>); Brannox reads the same
variable. It exists so that tests can run in isolation.
)";
}
