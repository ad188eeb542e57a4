#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "session/can_buffer.h"

// Every frame received since the store was last cleared, oldest first, up to kLimit records.
// References to stored records stay valid until Clear().
class FrameStore {
  public:
    static constexpr uint32_t kLimit = 50000;

    bool Empty() const { return records_.empty(); }
    size_t Size() const { return records_.size(); }
    // The newest record, or null when the store is empty.
    const CANBuffer* head() const { return records_.empty() ? nullptr : &records_.back(); }
    // Oldest first.
    const CANBuffer& operator[](size_t index) const { return records_[index]; }
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

    const CANBuffer& Append(const CANBuffer& record) { return records_.emplace_back(record); }
    void Clear() { records_.clear(); }

  private:
    std::deque<CANBuffer> records_;
};
