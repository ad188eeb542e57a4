#pragma once

#include <string>
#include <string_view>

#include "motor/motor_messages.h"

// The value of a text that is a whole decimal integer (an optional sign, then digits, nothing
// else, within the range of int); `fallback` for any other text, the empty one included.
int IntegerOr(std::string_view text, int fallback);

// The speed a control message carries, from the RPM or the percent edit's text.
int ControlSpeed(SpeedForm form, std::string_view text);

// The texts of the Configuration group as the user left them.
struct MotorConfigTexts {
    std::string defaultRpm;
    std::string minRpm;
    std::string maxRpm;
    std::string tempShutdown;
    std::string canTimeout;
    std::string busRate;
    std::string canBase;  // hexadecimal, read up to its first non-hex character
    bool resistor = false;
};

// The values Set Config sends: a text that is not an integer gives the field's default, and
// every value is cut to the width of its place in the pages.
MotorConfig ReadMotorConfig(const MotorConfigTexts& texts);
