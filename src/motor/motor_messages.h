#pragma once

#include <array>
#include <cstdint>

#include "session/can_buffer.h"

// The CAN messages of the motor controller. Both identifiers are fixed; the controller's
// "CAN Base Addr" only travels inside configuration page 1 as the address it should take.
inline constexpr uint32_t MotorControlId = 0x18EF2000;
inline constexpr uint32_t MotorConfigId = 0x03EF20FE;
// Follows 0x80 in every configuration request: "REQ1".
inline constexpr std::array<uint8_t, 4> configRequestCode{0x52, 0x45, 0x51, 0x31};

// How the control message carries the speed: RPM in bytes 1-2, or percent in byte 3.
enum class SpeedForm { Rpm, Percent };

// Motor control message (DLC 8). Byte 0 holds the motor state (0 Forward, 1 Stop, 2 Reverse)
// in bits 0-1, the power hold (0 Off, 1 On) in bits 2-3 and 1111 above; the speed is sent
// doubled (half-RPM as 16 bits, or half-percent as one byte); unused bytes are 0xFF.
CANBuffer MotorControlMessage(int motorState, int powerHold, SpeedForm form, int speed);

// What Set Config writes to the controller, already cut to the widths of the pages.
struct MotorConfig {
    uint16_t defaultRpm = 2500;
    uint16_t minRpm = 500;
    uint16_t maxRpm = 6000;
    uint8_t baseAddress = 0x20;
    uint16_t tempShutdown = 125;
    uint8_t canTimeout = 5;
    uint32_t busRate = 250000;
    bool resistor = false;
};

// Equal limits are in order.
inline bool SpeedLimitsInOrder(const MotorConfig& config) {
    return config.minRpm <= config.maxRpm;
}

// The three configuration pages (DLC 7 each): 0 the speeds, 1 the base address, shutdown
// temperature and CAN time-out, 2 the bus rate and the resistor flag.
std::array<CANBuffer, 3> MotorConfigPages(const MotorConfig& config);

// The configuration request (DLC 5): 0x80 and the request code.
CANBuffer MotorConfigRequest();
