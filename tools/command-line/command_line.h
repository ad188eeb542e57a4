#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The command lines of the programs, read as can-utils' tools read theirs: short options, some
// taking a value ("-n 10" or "-n10"), long options ("--help", "--port PORT"), and the other
// words as operands. "--" ends the options.
struct OptionSpec {
    char name;              // the short form, also the key of a parsed option
    const char* longName;   // without the dashes
    const char* valueName;  // null for a switch
};

struct ParsedOption {
    char name;
    std::string value;
};

// False with `error` (one line) for an unknown option or a missing value.
bool ParseCommandLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                      std::vector<ParsedOption>& options, std::vector<std::string>& operands,
                      std::string& error);

// Value readers: false for text that is not wholly a value in the range.
bool ParseWholeNumber(std::string_view text, uint64_t low, uint64_t high, uint64_t& value);
// Decimal seconds ("2", "0.5"), more than 0.
bool ParsePositiveSeconds(std::string_view text, double& seconds);

// The line for a bad command line: "<program>: <error> (see --help)".
std::string BadUsageLine(const std::string& program, const std::string& error);
// Exit codes shared by the programs.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadUsage = 2;
