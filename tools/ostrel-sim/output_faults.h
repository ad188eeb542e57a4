#pragma once

#include <cstdint>
#include <random>
#include <vector>

// Line faults on the way to the PC: random bytes between packets (never 0x55, so they can
// never start a packet) and bytes lost from the packets themselves.
class OutputFaults {
  public:
    // `garbageShare` (0 to below 1) of all bytes written are garbage; each packet byte is
    // lost with the probability `dropShare` (0 to 1).
    OutputFaults(double garbageShare, double dropShare, uint32_t seed);

    // Appends one packet, as it goes on the line, to `out`.
    void Append(const std::vector<uint8_t>& packet, std::vector<uint8_t>& out);

    uint64_t garbageBytes = 0;
    uint64_t droppedBytes = 0;

  private:
    double garbagePerByte_;
    double garbageCredit_ = 0;
    std::bernoulli_distribution drop_;
    std::mt19937 random_;
};
