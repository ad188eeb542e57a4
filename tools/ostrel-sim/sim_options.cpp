#include "sim_options.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <string_view>

#include "command_line.h"
#include "virtual_bus.h"

namespace {

constexpr uint64_t kMaxRate = 10000000;
constexpr double kMaxGarbage = 0.9;
// What --name and --bus accept: a name that is also a file name.
constexpr const char* kNameRule =
    "expects 1 to 64 letters, digits, '-', '_' or '.', not starting with '.'";
constexpr uint64_t kMaxDlc = 8;

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
        if (!ParseWholeNumber(part.substr(0, dash), 0, kMaxDlc, low)) return false;
        uint64_t high = low;
        if (dash != std::string::npos &&
            !ParseWholeNumber(part.substr(dash + 1), low, kMaxDlc, high))
            return false;
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

// Readers of an option's value into `out`: each returns an explanation of a bad value, or an
// empty text.
template <typename Field>
std::string WholeNumber(const std::string& value, uint64_t low, uint64_t high, Field& out) {
    uint64_t number = 0;
    if (!ParseWholeNumber(value, low, high, number))
        return "expects a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    out = Field(number);
    return {};
}

std::string Share(const std::string& value, double most, double& out, const char* why) {
    return ParseShare(value, out) && out >= 0 && out <= most ? std::string() : why;
}

std::string NonEmpty(const std::string& value, std::string& out, const char* why) {
    out = value;
    return value.empty() ? why : std::string();
}

std::string Unless(bool good, const char* why) {
    return good ? std::string() : why;
}

// An option: its long name, the name of its value (null for a switch) and how it takes the
// value, returning an explanation of a bad value or an empty text.
using Value = const std::string&;
struct SimOption {
    const char* name;
    const char* valueName;
    std::string (*apply)(SimOptions& options, Value value);
};

const SimOption kOptions[] = {
    {"port", "PATH",
     [](SimOptions& o, Value v) { return NonEmpty(v, o.port, "expects a terminal device path"); }},
    {"rate", "N",
     [](SimOptions& o, Value v) { return WholeNumber(v, 0, kMaxRate, o.generator.rate); }},
    {"ids", "LIST",
     [](SimOptions& o, Value v) {
         return Unless(ParseIdList(v, o.generator.ids),
                       "expects hex identifiers separated by commas: up to 3 digits (at most "
                       "7FF) for a standard one, 4 to 8 digits (at most 1FFFFFFF) for an "
                       "extended one");
     }},
    {"id-kind", "KIND",
     [](SimOptions& o, Value v) {
         return Unless(ParseIdKind(v, o.generator.idKind), "expects std, ext or mixed");
     }},
    {"dlc", "MIX",
     [](SimOptions& o, Value v) {
         return Unless(ParseDlcMix(v, o.generator.dlcMix),
                       "expects DLC values 0 to 8 and ranges, separated by commas (0-8, 8, "
                       "0,8,8)");
     }},
    {"seed", "N",
     [](SimOptions& o, Value v) { return WholeNumber(v, 0, UINT32_MAX, o.generator.seed); }},
    {"replay", "FILE",
     [](SimOptions& o, Value v) { return NonEmpty(v, o.replayFile, "expects a log file"); }},
    {"fast", nullptr,
     [](SimOptions& o, Value) {
         o.fast = true;
         return std::string();
     }},
    {"count", "N",
     [](SimOptions& o, Value v) { return WholeNumber(v, 0, UINT64_MAX, o.device.count); }},
    {"lost-every", "N",
     [](SimOptions& o, Value v) { return WholeNumber(v, 1, UINT64_MAX, o.device.lostEvery); }},
    {"silent", nullptr,
     [](SimOptions& o, Value) {
         o.device.silent = true;
         return std::string();
     }},
    {"no-ack", nullptr,
     [](SimOptions& o, Value) {
         o.device.noAck = true;
         return std::string();
     }},
    {"garbage", "P",
     [](SimOptions& o, Value v) {
         return Share(v, kMaxGarbage, o.garbage, "expects a share from 0 to 0.9");
     }},
    {"drop-bytes", "P",
     [](SimOptions& o, Value v) {
         return Share(v, 1, o.dropBytes, "expects a share from 0 to 1");
     }},
    {"hangup-after", "N",
     [](SimOptions& o, Value v) { return WholeNumber(v, 0, UINT64_MAX, o.device.hangupAfter); }},
    {"read-rate", "BYTES_PER_S",
     [](SimOptions& o, Value v) { return WholeNumber(v, 0, kMaxRate, o.readRate); }},
    {"trace", "FILE",
     [](SimOptions& o, Value v) { return NonEmpty(v, o.traceFile, "expects a file name"); }},
    {"name", "NAME",
     [](SimOptions& o, Value v) {
         o.portName = v;
         return Unless(ValidBusName(v), kNameRule);
     }},
    {"bus", "NAME",
     [](SimOptions& o, Value v) {
         o.bus = v;
         return Unless(ValidBusName(v), kNameRule);
     }},
    {"help", nullptr,
     [](SimOptions& o, Value) {
         o.help = true;
         return std::string();
     }},
};

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
    if (has("--name") && has("--port")) return "--name names a new pseudo-terminal, not --port's";
    if (has("--ids") && has("--id-kind"))
        return "--id-kind is for random identifiers; the digits of each --ids entry tell its kind";
    return {};
}

// getopt_long's table of kOptions: an option's code is its index in kOptions plus one, as
// getopt_long gives 0 for an unknown option.
std::vector<option> LongOptions() {
    std::vector<option> table;
    for (const SimOption& entry : kOptions)
        table.push_back({entry.name, entry.valueName != nullptr ? required_argument : no_argument,
                         nullptr, static_cast<int>(table.size()) + 1});
    table.push_back({});
    return table;
}

// The option that getopt_long's `code` stands for when `word`, the word it read, names it in
// full (getopt_long also takes unambiguous abbreviations); null for any other word.
const SimOption* OptionNamed(int code, const std::string& word) {
    for (const SimOption& entry : kOptions) {
        const bool fits = std::string("--") + entry.name == word.substr(0, word.find('=')) ||
                          (word == "-h" && std::string_view(entry.name) == "help");
        if (fits && (code == 'h' || code == static_cast<int>(&entry - kOptions) + 1)) return &entry;
    }
    return nullptr;
}

}  // namespace

SimOptions ParseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    std::vector<std::string> words{"ostrel-sim"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());
    const std::vector<option> longOptions = LongOptions();
    std::vector<std::string> given;
    optind = 0;  // every call reads a new argument list from its start
    while (true) {
        const std::string& word = words[static_cast<size_t>(std::max(optind, 1))];
        // '+': stop at the first word that is no option; ':': a missing value gives ':'.
        const int code = getopt_long(argc, argv.data(), "+:h", longOptions.data(), nullptr);
        if (code == -1) break;
        const SimOption* entry = OptionNamed(code == ':' || code == '?' ? optopt : code, word);
        if (entry == nullptr) {
            error = "unknown option '" + word + "'";
            return options;
        }
        const std::string name = std::string("--") + entry->name;
        if (code == '?') {
            error = name + " takes no value";
            return options;
        }
        if (code == ':') {
            error = name + " needs a value (" + entry->valueName + ")";
            return options;
        }
        const std::string value = optarg != nullptr ? optarg : "";
        if (std::string why = entry->apply(options, value); !why.empty()) {
            error = name + " '" + value + "': " + why;
            return options;
        }
        given.push_back(name);
    }
    if (optind < argc) {
        error = "unknown option '" + words[static_cast<size_t>(optind)] + "'";
        return options;
    }
    error = CheckCombinations(given);
    return options;
}

std::string SimHelpText() {
    return R"(Usage: ostrel-sim [OPTION]...
A simulated Ostrel CAN interface. It opens a pseudo-terminal, prints its port name
(ostrel-sim-<pid>) as the first line of standard output and answers the Brannox packet
protocol on it. While it runs, Brannox's Auto Detect lists the port. Bus traffic starts once
the PC has identified the device ('Y' answered with 'Z') and set it up (at its 'C', or 500 ms
after the 'Y'); the reset 55 52 pauses it until the next handshake.

Line:
  --port PATH        serve this existing terminal device instead of a new pseudo-terminal
                     (it is not announced to Auto Detect)
  --name NAME        announce the port as ostrel-sim-NAME instead of ostrel-sim-<pid>, so
                     that Brannox finds the saved port again when the simulator is restarted
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
