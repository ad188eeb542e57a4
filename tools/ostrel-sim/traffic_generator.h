#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "logs/can_text.h"
#include "traffic_source.h"

enum class IdKind { Standard, Extended, Mixed };

struct GeneratorSettings {
    // Frames per second; 0: as fast as the line takes them.
    uint32_t rate = 10;
    // Taken in turn; empty: random identifiers of idKind.
    std::vector<CanId> ids;
    IdKind idKind = IdKind::Mixed;
    // Each frame's DLC is one of these, picked at random (repeat a value to weight it).
    std::vector<uint8_t> dlcMix = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t seed = 1;
};

// Endless made-up traffic: identifiers from a set or random, DLCs from a mix, random data.
class TrafficGenerator : public TrafficSource {
  public:
    explicit TrafficGenerator(const GeneratorSettings& settings);

    bool Next(TimedFrame& out) override;
    bool Paced() const override { return settings_.rate != 0; }

  private:
    CanId NextId();

    GeneratorSettings settings_;
    std::mt19937 random_;
    uint64_t produced_ = 0;
};
