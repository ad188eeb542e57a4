#pragma once

#include <cstdint>

// Facts of CAN and of the device that the program, its tools and the simulator share.

// The largest standard (11-bit) and extended (29-bit) identifier: also the masks of their bits.
inline constexpr uint32_t kMaxStandardId = 0x7FF;
inline constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;

constexpr uint32_t MaxId(bool extended) {
    return extended ? kMaxExtendedId : kMaxStandardId;
}

// The device stamps frames in ticks of 0.5 us, counting from power-on or its last reset.
inline constexpr uint32_t kDeviceTicksPerUs = 2;
inline constexpr uint32_t kDeviceTicksPerSecond = 1000000 * kDeviceTicksPerUs;

// The bus rates in bit/s that the window's rate lists offer, and the one they start at, which
// is also the rate of a first start and of the command-line tools (250000).
inline constexpr int32_t kBusRateChoices[] = {33333,  50000,  83333,  100000,
                                              125000, 250000, 500000, 1000000};
inline constexpr int kDefaultBusRateChoice = 5;
inline constexpr int32_t kDefaultBusRate = kBusRateChoices[kDefaultBusRateChoice];

// The serial line rate of a first start and of the command-line tools.
inline constexpr int32_t kDefaultSerialRate = 115200;
