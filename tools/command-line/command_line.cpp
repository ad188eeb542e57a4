#include "command_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "link/serial.h"
#include "session/device_commands.h"

namespace {

const OptionDefinition* FindDefinition(const std::vector<OptionDefinition>& definitions,
                                       std::string_view word) {
    const auto match = std::find_if(definitions.begin(), definitions.end(),
                                    [&](const OptionDefinition& definition) {
                                        return word.size() > 2 && word.substr(0, 2) == "--"
                                                   ? word.substr(2) == definition.longName
                                                   : word.size() >= 2 && word[1] == definition.name;
                                    });
    return match == definitions.end() ? nullptr : &*match;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args,
                      const std::vector<OptionDefinition>& definitions,
                      std::vector<ParsedOption>& options, std::vector<std::string>& operands,
                      std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--") {
            operands.insert(operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            return true;
        }
        if (word.size() < 2 || word[0] != '-') {
            operands.push_back(word);
            continue;
        }
        const bool isLong = word[1] == '-';
        const OptionDefinition* definition = FindDefinition(definitions, word);
        if (definition == nullptr ||
            (!isLong && definition->valueName == nullptr && word.size() > 2)) {
            error = "unknown option '" + word + "'";
            return false;
        }
        ParsedOption option{definition->name, {}};
        if (definition->valueName != nullptr) {
            if (!isLong && word.size() > 2) {
                option.value = word.substr(2);
            } else if (i + 1 < args.size()) {
                option.value = args[++i];
            } else {
                error = word + " expects " + definition->valueName;
                return false;
            }
        }
        options.push_back(option);
    }
    return true;
}

const std::vector<OptionDefinition> kDeviceOptionDefinitions = {
    {'p', "port", "PORT"},
    {'s', "serial-rate", "BAUD"},
    {'b', "bitrate", "RATE"},
    {'x', "loopback", nullptr},
};

const char kDeviceOptionsHelp[] =
    R"(  -p, --port PORT        the port (COM3, ttyUSB0, /dev/pts/4); without it the device is
                         found as Auto Detect finds it
  -s, --serial-rate BAUD serial line rate (default 115200)
  -b, --bitrate RATE     CAN bus rate in bit/s, 10000 to 1000000 (default 250000)
  -x, --loopback         loopback: frames sent to the device come back as received ones
)";

bool Fail(std::string& error, const std::string& text) {
    error = text;
    return false;
}

bool ApplyDeviceOption(const ParsedOption& option, DeviceOptions& device, std::string& error) {
    uint64_t number = 0;
    switch (option.name) {
        case 'p':
            device.port = option.value;
            return !device.port.empty() || Fail(error, "-p expects a port name");
        case 's':
            if (!ParseWholeNumber(option.value, 1, INT32_MAX, number) ||
                !IsStandardBaudRate(static_cast<int>(number)))
                return Fail(error, "-s expects a standard serial rate such as 115200");
            device.serialRate = static_cast<int>(number);
            return true;
        case 'b':
            if (!ParseWholeNumber(option.value, kMinBusRate, kMaxBusRate, number))
                return Fail(error, "-b expects a bus rate from " + std::to_string(kMinBusRate) +
                                       " to " + std::to_string(kMaxBusRate));
            device.busRate = static_cast<int>(number);
            return true;
        case 'x':
            device.loopback = true;
            return true;
        default:
            return false;
    }
}

bool ParseProgramOptions(const std::vector<std::string>& args,
                         const std::vector<OptionDefinition>& definitions, DeviceOptions& device,
                         const OptionHandler& apply, std::vector<std::string>& operands,
                         std::string& error) {
    std::vector<OptionDefinition> all = kDeviceOptionDefinitions;
    all.insert(all.end(), definitions.begin(), definitions.end());
    std::vector<ParsedOption> parsed;
    if (!ParseCommandLine(args, all, parsed, operands, error)) return false;
    for (const ParsedOption& option : parsed) {
        if (ApplyDeviceOption(option, device, error)) continue;
        if (!error.empty() || !apply(option, error)) return false;
    }
    return true;
}

bool ParseWholeNumber(std::string_view text, uint64_t low, uint64_t high, uint64_t& value) {
    uint64_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool ParsePositiveSeconds(std::string_view text, double& seconds) {
    double parsed = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return false;
    if (!(parsed > 0) || !std::isfinite(parsed)) return false;
    seconds = parsed;
    return true;
}

std::string BadUsageLine(const std::string& program, const std::string& error) {
    return program + ": " + error + " (see --help)";
}
