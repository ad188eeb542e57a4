#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// One packet as the trace file records it, one line each:
//     1234567890 > B 90D00300000101
// the monotonic time in microseconds (the clock of std::chrono::steady_clock), '>' for a
// packet from the PC or '<' for one to the PC, the letter, and the payload in hex (nothing
// after the letter when it is empty). The unframed reset appears as the letter R.
struct TracedPacket {
    static constexpr char kFromPc = '>';
    static constexpr char kToPc = '<';

    uint64_t timeUs = 0;
    char direction = kFromPc;
    uint8_t letter = 0;
    std::vector<uint8_t> payload;
};

std::string FormatTraceLine(const TracedPacket& packet);
bool ParseTraceLine(std::string_view line, TracedPacket& out);

// Writes trace lines to a file, each one flushed so that a reader sees it at once.
class PacketTrace {
  public:
    explicit PacketTrace(std::FILE* file) : file_(file) {}
    void Record(uint64_t timeUs, char direction, uint8_t letter, const uint8_t* payload,
                size_t size);

  private:
    std::FILE* file_;
};
