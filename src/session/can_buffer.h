#pragma once

#include <array>
#include <cstdint>

// The 19-byte device form of a CAN frame, as it travels in packet payloads: the identifier
// split into the CAN controller's register bytes, with the flags beside it.
struct CANBufferPIC {
    static constexpr uint8_t kResponseLayout0 = 0x08;
    static constexpr uint8_t kResponseLayout12 = 0x20;
    static constexpr uint8_t kExtendedBit = 0x08;    // in sidl
    static constexpr uint8_t kFramesLostBit = 0x80;  // in control, from the device
    static constexpr int kSize = 19;
    // Bytes of the layout that go to the device in 'F' and 'G' before the data.
    static constexpr int kHeaderSize = 6;

    uint8_t control = 0;
    uint8_t sidh = 0;
    uint8_t sidl = 0;
    uint8_t eidh = 0;
    uint8_t eidl = 0;
    uint8_t dlc = 0;
    std::array<uint8_t, 8> data{};
    std::array<uint8_t, 4> timestamp{};  // little-endian, 0.5 us ticks
    uint8_t brief = 0;

    static CANBufferPIC FromBytes(const uint8_t* bytes);
    void ToBytes(uint8_t* bytes) const;
    uint32_t Timestamp() const;
    void SetTimestamp(uint32_t ticks);
};
static_assert(sizeof(CANBufferPIC) == CANBufferPIC::kSize);

// One CAN frame on the PC.
struct CANBuffer {
    CANBuffer() = default;
    // A record from values; `brief` forces `dlc` to 0. The first `dlc` bytes of `data` (at most
    // eight) are copied.
    CANBuffer(uint32_t id, bool response, bool extended, uint8_t dlc, const uint8_t* data,
              uint32_t timestamp = 0, bool brief = false, uint8_t control = 0);

    uint32_t id = 0;
    uint8_t response = 0;
    uint8_t extended = 0;
    uint8_t control = 0;
    uint8_t dlc = 0;
    std::array<uint8_t, 8> data{};
    uint32_t timestamp = 0;
    uint8_t brief = 0;
    uint32_t sequence = 0;
    // Selects the response bit in control: 0 selects bit 3, 1 or 2 select bit 5.
    int layout = 0;

    bool FramesLost() const { return (control & CANBufferPIC::kFramesLostBit) != 0; }
};

CANBuffer FromPIC(const CANBufferPIC& pic, int layout = 0);
CANBufferPIC ToPIC(const CANBuffer& record);
// Zeroes control, the identifier bytes, dlc and timestamp; data and brief stay as they are.
void ClearPIC(CANBufferPIC& pic);
