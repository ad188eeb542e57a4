#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FrameStore;
struct CANBuffer;

// What Find looks for in the stored frames: an identifier (hex, "0x" allowed, either kind), or
// a run of data bytes ("55 AA" or "55AA") anywhere within a frame's data.
struct FrameQuery {
    enum class Field { Identifier, Data };

    // Null for text that is not of the field's form.
    static std::optional<FrameQuery> Parse(Field field, const std::string& text);
    bool Matches(const CANBuffer& record) const;

    Field field = Field::Identifier;
    uint32_t id = 0;
    std::vector<uint8_t> bytes;
};

// The index of the nearest frame after `current` (forward) or before it that matches; `current`
// may be -1 or the store's size to search from either end.
std::optional<size_t> FindFrame(const FrameStore& store, const FrameQuery& query,
                                std::ptrdiff_t current, bool forward);

// The index of the frame with this sequence number. Sequence numbers rise through the store.
std::optional<size_t> FindSequence(const FrameStore& store, uint32_t sequence);
