#include "views/frame_bits.h"

#include <algorithm>

#include "session/can_buffer.h"

namespace {

// Start of frame, identifier, RTR, IDE, r0, DLC, CRC, CRC delimiter, ACK slot and delimiter,
// end of frame and intermission.
constexpr uint32_t kStandardFixedBits = 47;
// The extended header adds SRR, the 18-bit identifier extension and r1 (RTR moves behind it).
constexpr uint32_t kExtendedFixedBits = 67;
// Bits after the CRC that are never stuffed: CRC delimiter, ACK slot and delimiter, end of
// frame, intermission.
constexpr uint32_t kUnstuffedTailBits = 1 + 1 + 1 + 7 + 3;
constexpr uint32_t kMaxDataBytes = 8;

}  // namespace

uint32_t FrameBitsOnWire(const CANBuffer& record) {
    const uint32_t dataBytes =
        record.response || record.brief ? 0 : std::min<uint32_t>(record.dlc, kMaxDataBytes);
    const uint32_t fixed = record.extended ? kExtendedFixedBits : kStandardFixedBits;
    const uint32_t unstuffed = fixed + 8 * dataBytes;
    const uint32_t stuffable = unstuffed - kUnstuffedTailBits;
    return unstuffed + (stuffable - 1) / 4;
}
