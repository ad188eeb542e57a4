#include "session/can_buffer.h"

#include <algorithm>
#include <cstring>

CANBufferPIC CANBufferPIC::FromBytes(const uint8_t* bytes) {
    CANBufferPIC pic;
    std::memcpy(&pic, bytes, kSize);
    return pic;
}

void CANBufferPIC::ToBytes(uint8_t* bytes) const {
    std::memcpy(bytes, this, kSize);
}

uint32_t CANBufferPIC::Timestamp() const {
    return static_cast<uint32_t>(timestamp[0]) | static_cast<uint32_t>(timestamp[1]) << 8 |
           static_cast<uint32_t>(timestamp[2]) << 16 | static_cast<uint32_t>(timestamp[3]) << 24;
}

void CANBufferPIC::SetTimestamp(uint32_t ticks) {
    for (int i = 0; i < 4; ++i) timestamp[i] = static_cast<uint8_t>(ticks >> (8 * i));
}

CANBuffer::CANBuffer(uint32_t id_, bool response_, bool extended_, uint8_t dlc_,
                     const uint8_t* data_, uint32_t timestamp_, bool brief_, uint8_t control_)
    : id(id_),
      response(response_),
      extended(extended_),
      control(control_),
      dlc(brief_ ? 0 : dlc_),
      timestamp(timestamp_),
      brief(brief_) {
    if (data_ != nullptr) std::copy_n(data_, std::min<int>(dlc, 8), data.begin());
}

CANBuffer FromPIC(const CANBufferPIC& pic, int layout) {
    CANBuffer record;
    record.layout = layout;
    const uint8_t responseBit =
        layout == 0 ? CANBufferPIC::kResponseLayout0 : CANBufferPIC::kResponseLayout12;
    record.response = (pic.control & responseBit) ? 1 : 0;
    record.extended = (pic.sidl & CANBufferPIC::kExtendedBit) ? 1 : 0;
    if (record.extended) {
        record.id = static_cast<uint32_t>(pic.sidh) << 21 |
                    static_cast<uint32_t>(pic.sidl & 0xE0) << 13 |
                    static_cast<uint32_t>(pic.sidl & 0x03) << 16 |
                    static_cast<uint32_t>(pic.eidh) << 8 | pic.eidl;
    } else {
        record.id = static_cast<uint32_t>(pic.sidh) << 3 | static_cast<uint32_t>(pic.sidl >> 5);
    }
    record.control = pic.control;
    record.dlc = pic.dlc;
    record.data = pic.data;
    record.timestamp = pic.Timestamp();
    record.brief = pic.brief;
    return record;
}

CANBufferPIC ToPIC(const CANBuffer& record) {
    CANBufferPIC pic;
    if (record.response)
        pic.control =
            record.layout == 0 ? CANBufferPIC::kResponseLayout0 : CANBufferPIC::kResponseLayout12;
    if (record.extended) {
        pic.sidl = static_cast<uint8_t>(CANBufferPIC::kExtendedBit | ((record.id >> 13) & 0xE0) |
                                        ((record.id >> 16) & 0x03));
        pic.sidh = static_cast<uint8_t>(record.id >> 21);
        pic.eidh = static_cast<uint8_t>(record.id >> 8);
        pic.eidl = static_cast<uint8_t>(record.id);
    } else {
        pic.sidh = static_cast<uint8_t>(record.id >> 3);
        pic.sidl = static_cast<uint8_t>((record.id & 0x07) << 5);
    }
    pic.SetTimestamp(record.timestamp);
    pic.brief = record.brief;
    if (!record.brief) {
        pic.dlc = record.dlc;
        pic.data = record.data;
    }
    return pic;
}

void ClearPIC(CANBufferPIC& pic) {
    pic.control = pic.sidh = pic.sidl = pic.eidh = pic.eidl = pic.dlc = 0;
    pic.timestamp = {};
}
