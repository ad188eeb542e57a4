#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/can_limits.h"

// The command lines of the programs, read as can-utils' tools read theirs: short options, some
// taking a value ("-n 10" or "-n10"), long options ("--help", "--port PORT"), and the other
// words as operands. "--" ends the options.
struct OptionDefinition {
    char name;              // the short form, also the key of a parsed option
    const char* longName;   // without the dashes
    const char* valueName;  // null for a switch
};

struct ParsedOption {
    char name;
    std::string value;
};

// False with `error` (one line) for an unknown option or a missing value.
bool ParseCommandLine(const std::vector<std::string>& args,
                      const std::vector<OptionDefinition>& definitions,
                      std::vector<ParsedOption>& options, std::vector<std::string>& operands,
                      std::string& error);

// Value readers: false for text that is not wholly a value in the range.
bool ParseWholeNumber(std::string_view text, uint64_t low, uint64_t high, uint64_t& value);
// Decimal seconds ("2", "0.5"), more than 0.
bool ParsePositiveSeconds(std::string_view text, double& seconds);

// The options both programs take to reach the device.
struct DeviceOptions {
    std::string port;  // empty: find the device as Auto Detect does
    int serialRate = kDefaultSerialRate;
    int busRate = kDefaultBusRate;
    bool loopback = false;
};
// -p PORT, -s BAUD, -b RATE and -x, in the form of every program's help text.
extern const std::vector<OptionDefinition> kDeviceOptionDefinitions;
extern const char kDeviceOptionsHelp[];
// Takes `option` when it is one of the device options: true when it was and is good, false
// with `error` when it is bad, false without `error` when it is not one of them.
bool ApplyDeviceOption(const ParsedOption& option, DeviceOptions& device, std::string& error);

// Reads a program's command line: the device options into `device`, each option of
// `definitions` to `apply` (false with `error` for a bad value), the other words into
// `operands`. False with `error` at the first bad option.
using OptionHandler = std::function<bool(const ParsedOption& option, std::string& error)>;
bool ParseProgramOptions(const std::vector<std::string>& args,
                         const std::vector<OptionDefinition>& definitions, DeviceOptions& device,
                         const OptionHandler& apply, std::vector<std::string>& operands,
                         std::string& error);
// The same for a program whose options record holds its `device` options beside its own,
// which `apply` takes into `options`.
template <typename Options>
bool ParseProgramOptions(const std::vector<std::string>& args,
                         const std::vector<OptionDefinition>& definitions, Options& options,
                         bool (*apply)(const ParsedOption&, Options&, std::string&),
                         std::vector<std::string>& operands, std::string& error) {
    return ParseProgramOptions(
        args, definitions, options.device,
        [&](const ParsedOption& option, std::string& error) {
            return apply(option, options, error);
        },
        operands, error);
}

// Sets `error` and returns false, for the readers of the options.
bool Fail(std::string& error, const std::string& text);

// The line for a bad command line: "<program>: <error> (see --help)".
std::string BadUsageLine(const std::string& program, const std::string& error);
// Exit codes shared by the programs.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadUsage = 2;
