#include "motor/motor_fields.h"

#include <charconv>

#include "common/text.h"

namespace {

// What a control message carries when its speed text is no integer.
constexpr int kDefaultControlRpm = 500;
constexpr int kDefaultControlPercent = 0;

}  // namespace

int IntegerOr(std::string_view text, int fallback) {
    // from_chars takes a leading '-' but no '+'.
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return fallback;
    }
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end ? value : fallback;
}

int ControlSpeed(SpeedForm form, std::string_view text) {
    return IntegerOr(text, form == SpeedForm::Rpm ? kDefaultControlRpm : kDefaultControlPercent);
}

MotorConfig ReadMotorConfig(const MotorConfigTexts& texts) {
    const MotorConfig defaults;
    MotorConfig config;
    config.defaultRpm = static_cast<uint16_t>(IntegerOr(texts.defaultRpm, defaults.defaultRpm));
    config.minRpm = static_cast<uint16_t>(IntegerOr(texts.minRpm, defaults.minRpm));
    config.maxRpm = static_cast<uint16_t>(IntegerOr(texts.maxRpm, defaults.maxRpm));
    config.baseAddress = static_cast<uint8_t>(ParseHex(texts.canBase));
    config.tempShutdown =
        static_cast<uint16_t>(IntegerOr(texts.tempShutdown, defaults.tempShutdown));
    config.canTimeout = static_cast<uint8_t>(IntegerOr(texts.canTimeout, defaults.canTimeout));
    config.busRate = static_cast<uint32_t>(IntegerOr(texts.busRate, defaults.busRate));
    config.resistor = texts.resistor;
    return config;
}
