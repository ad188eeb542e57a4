#include "motor/motor_messages.h"

#include <algorithm>

namespace {

constexpr uint8_t kUnused = 0xFF;
constexpr uint8_t kControlMarker = 0xF0;
constexpr uint8_t kConfigRequestMarker = 0x80;
constexpr uint8_t kControlDlc = 8;
constexpr uint8_t kConfigPageDlc = 7;

// A frame for the motor controller: extended, not a response, no time stamp.
CANBuffer MotorFrame(uint32_t id, const std::array<uint8_t, 8>& data, uint8_t dlc) {
    return CANBuffer(id, false, true, dlc, data.data());
}

void Put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

}  // namespace

CANBuffer MotorControlMessage(int motorState, int powerHold, SpeedForm form, int speed) {
    std::array<uint8_t, 8> data;
    data.fill(kUnused);
    data[0] = static_cast<uint8_t>(kControlMarker | (powerHold & 3) << 2 | (motorState & 3));
    const auto doubled = static_cast<uint32_t>(speed) * 2u;
    if (form == SpeedForm::Percent)
        data[3] = static_cast<uint8_t>(doubled);
    else
        Put16(&data[1], doubled);
    return MotorFrame(MotorControlId, data, kControlDlc);
}

std::array<CANBuffer, 3> MotorConfigPages(const MotorConfig& config) {
    std::array<uint8_t, 8> speeds{0};
    Put16(&speeds[1], config.defaultRpm);
    Put16(&speeds[3], config.minRpm);
    Put16(&speeds[5], config.maxRpm);

    std::array<uint8_t, 8> limits{1, config.baseAddress};
    Put16(&limits[2], config.tempShutdown);
    limits[4] = config.canTimeout;
    limits[5] = limits[6] = kUnused;

    std::array<uint8_t, 8> bus{2};
    Put32(&bus[1], config.busRate);
    bus[5] = config.resistor ? 1 : 0;
    bus[6] = kUnused;

    return {MotorFrame(MotorConfigId, speeds, kConfigPageDlc),
            MotorFrame(MotorConfigId, limits, kConfigPageDlc),
            MotorFrame(MotorConfigId, bus, kConfigPageDlc)};
}

CANBuffer MotorConfigRequest() {
    std::array<uint8_t, 8> data{kConfigRequestMarker};
    std::copy(configRequestCode.begin(), configRequestCode.end(), data.begin() + 1);
    return MotorFrame(MotorConfigId, data, static_cast<uint8_t>(1 + configRequestCode.size()));
}
