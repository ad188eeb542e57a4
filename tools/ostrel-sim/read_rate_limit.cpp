#include "read_rate_limit.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint64_t kMicrosPerSecond = 1000000;

}  // namespace

ReadRateLimit::ReadRateLimit(uint64_t bytesPerSecond, uint64_t nowUs)
    : bytesPerSecond_(bytesPerSecond), lastUs_(nowUs) {}

size_t ReadRateLimit::Allowance(uint64_t nowUs) {
    if (bytesPerSecond_ == 0) return SIZE_MAX;
    const uint64_t elapsedUs = nowUs - std::min(nowUs, lastUs_);
    lastUs_ = std::max(nowUs, lastUs_);
    // At least one byte, or a slow rate would never reach it.
    const uint64_t most = std::max(bytesPerSecond_ * kBurstUs, kMicrosPerSecond);
    credit_ = std::min(credit_ + bytesPerSecond_ * elapsedUs, most);
    return static_cast<size_t>(credit_ / kMicrosPerSecond);
}

void ReadRateLimit::Consumed(size_t bytes) {
    if (bytesPerSecond_ == 0) return;
    credit_ -= std::min<uint64_t>(credit_, bytes * kMicrosPerSecond);
}

std::optional<uint64_t> ReadRateLimit::NextReadUs() const {
    if (bytesPerSecond_ == 0 || credit_ >= kMicrosPerSecond) return std::nullopt;
    const uint64_t missing = kMicrosPerSecond - credit_;
    return lastUs_ + (missing + bytesPerSecond_ - 1) / bytesPerSecond_;
}
