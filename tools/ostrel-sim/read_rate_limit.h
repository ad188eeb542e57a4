#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// Paces the reading of the line to a number of bytes a second, as a device whose input is
// slower than the line: what the PC sends faster backs up in its own output buffer. Reading
// that fell behind catches up by at most kBurstUs worth of bytes (at least one) at once.
class ReadRateLimit {
  public:
    static constexpr uint64_t kBurstUs = 10000;

    // 0 bytes a second: no limit.
    ReadRateLimit(uint64_t bytesPerSecond, uint64_t nowUs);

    // How many bytes may be read now (SIZE_MAX without a limit).
    size_t Allowance(uint64_t nowUs);
    void Consumed(size_t bytes);
    // When the next byte may be read: none without a limit or when one may be read now.
    std::optional<uint64_t> NextReadUs() const;

  private:
    uint64_t bytesPerSecond_;
    // Bytes that may be read, in millionths: rate x microseconds since the last read.
    uint64_t credit_ = 0;
    uint64_t lastUs_;
};
