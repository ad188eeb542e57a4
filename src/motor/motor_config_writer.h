#pragma once

#include <functional>

#include "motor/motor_messages.h"

// The session's TransmitFrame: with `ack` the device must acknowledge the frame.
using MotorTransmit = std::function<void(const CANBuffer& record, bool ack)>;

// The controller needs this long between configuration pages.
inline constexpr int kConfigPageGapMs = 120;

// The configuration request goes out without acknowledgement.
void RequestMotorConfig(const MotorTransmit& transmit);

// Set Config once the edits have passed their checks: the request; then, when the speed limits
// are in order, pages 0, 1 and 2 with acknowledgement, each followed by
// pause(kConfigPageGapMs), and the request again. Returns false when the limits stopped it,
// after the first request had gone out.
bool WriteMotorConfig(const MotorConfig& config, const MotorTransmit& transmit,
                      const std::function<void(int milliseconds)>& pause);
