#pragma once

#include <cstdint>

// The command letters of the packets between the PC and the device, and the fixed payload
// lengths of the PC's setup commands. Shared by the session and the simulated device.

// From the PC.
constexpr uint8_t kLetterReset = 'R';  // unframed: 55 52, no length, no payload
constexpr uint8_t kLetterIdentify = 'Y';
constexpr uint8_t kLetterBusSetup = 'B';
constexpr uint8_t kLetterFilter = 'A';
constexpr uint8_t kLetterDisplay = 'C';
constexpr uint8_t kLetterFrameAck = 'G';  // a frame to send, acknowledged with 'K'
// From the device.
constexpr uint8_t kLetterIdentified = 'Z';
constexpr uint8_t kLetterBriefFrame = 'H';
constexpr uint8_t kLetterAcknowledge = 'K';
// Both ways: a frame to send, or a received frame.
constexpr uint8_t kLetterFrame = 'F';

constexpr uint8_t kBusSetupLength = 7;
constexpr uint8_t kFilterLength = 10;
// What a received packet must hold: an 'F' the record up to its timestamp, an 'H' its control
// byte and identifier.
constexpr uint8_t kFramePayloadRead = 18;
constexpr uint8_t kBriefPayloadRead = 5;

// The CAN bus rates in bit/s the device's controller can be set to.
constexpr int32_t kMinBusRate = 10000;
constexpr int32_t kMaxBusRate = 1000000;
