#include "logs/pcapng_log.h"

#include <algorithm>
#include <cstdint>

#include "common/can_limits.h"
#include "logs/written_length.h"

namespace {

constexpr uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr uint32_t kInterfaceBlock = 1;
constexpr uint32_t kEnhancedPacketBlock = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint32_t kByteOrderMagicSwapped = 0x4D3C2B1A;
constexpr uint16_t kLinkTypeSocketCan = 227;
constexpr uint16_t kTimeResolutionOption = 9;

constexpr uint32_t kEffFlag = 0x80000000;
constexpr uint32_t kRtrFlag = 0x40000000;
constexpr uint32_t kErrFlag = 0x20000000;
constexpr size_t kCanFrameSize = 16;  // can_id, length, three reserved bytes, eight data bytes
constexpr size_t kCanHeaderSize = 8;
constexpr uint32_t kPacketBlockSize = 32 + kCanFrameSize;
constexpr size_t kMaxDataLength = 8;

void AppendLittle32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(value >> shift);
}

void AppendBig32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
}

std::string SectionAndInterfaceBlocks() {
    std::string blocks;
    AppendLittle32(blocks, kSectionHeaderBlock);
    AppendLittle32(blocks, 28);
    AppendLittle32(blocks, kByteOrderMagic);
    AppendLittle32(blocks, 1);           // version 1.0
    AppendLittle32(blocks, 0xFFFFFFFF);  // section length not given
    AppendLittle32(blocks, 0xFFFFFFFF);
    AppendLittle32(blocks, 28);
    AppendLittle32(blocks, kInterfaceBlock);
    AppendLittle32(blocks, 20);
    AppendLittle32(blocks, kLinkTypeSocketCan);  // and the reserved 16 bits
    AppendLittle32(blocks, 0);                   // no snapshot length limit
    AppendLittle32(blocks, 20);                  // no options: times in microseconds
    return blocks;
}

// Reads the capture's words in the byte order of its section.
class BlockReader {
  public:
    explicit BlockReader(std::string_view bytes, bool bigEndian = false)
        : bytes_(bytes), bigEndian_(bigEndian) {}

    uint32_t Word32(size_t at) const {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<uint8_t>(bytes_[at + (bigEndian_ ? i : 3 - i)]);
            value = value << 8 | byte;
        }
        return value;
    }
    uint16_t Word16(size_t at) const {
        const uint8_t first = Byte(at);
        const uint8_t second = Byte(at + 1);
        return static_cast<uint16_t>(bigEndian_ ? first << 8 | second : second << 8 | first);
    }
    uint8_t Byte(size_t at) const { return static_cast<uint8_t>(bytes_[at]); }
    void SetBigEndian(bool bigEndian) { bigEndian_ = bigEndian; }

  private:
    std::string_view bytes_;
    bool bigEndian_;
};

// The time units per second of an Interface Description Block whose options span
// [at, end): its if_tsresol option, microseconds without one.
uint64_t UnitsPerSecond(const BlockReader& reader, size_t at, size_t end) {
    while (at + 4 <= end) {
        const uint16_t code = reader.Word16(at);
        const uint16_t length = reader.Word16(at + 2);
        if (code == 0 || at + 4 + length > end) break;
        if (code == kTimeResolutionOption && length >= 1) {
            const uint8_t resolution = reader.Byte(at + 4);
            uint64_t units = 1;
            for (int i = 0; i < (resolution & 0x7F) && units < (uint64_t{1} << 40); ++i)
                units *= (resolution & 0x80) != 0 ? 2 : 10;
            return units;
        }
        at += 4 + ((length + 3u) & ~3u);
    }
    return 1000000;
}

// A can_frame packet as a frame; Other for an error frame.
LogLineKind ReadCanFrame(std::string_view packet, LogFrame& out, std::string& error) {
    if (packet.size() < kCanHeaderSize) {
        error = "packet shorter than a CAN frame";
        return LogLineKind::Bad;
    }
    const BlockReader big(packet, true);
    const uint32_t canId = big.Word32(0);
    if ((canId & kErrFlag) != 0) return LogLineKind::Other;
    const uint8_t length = big.Byte(4);
    if (length > kMaxDataLength || packet.size() > kCanFrameSize) {
        error = "CAN FD frames are not supported";
        return LogLineKind::Bad;
    }
    const bool extended = (canId & kEffFlag) != 0;
    const bool response = (canId & kRtrFlag) != 0;
    const uint32_t id = canId & MaxId(extended);
    uint8_t data[kMaxDataLength] = {};
    const size_t held = response ? 0 : std::min<size_t>(length, packet.size() - kCanHeaderSize);
    for (size_t i = 0; i < held; ++i) data[i] = big.Byte(kCanHeaderSize + i);
    out.frame =
        CANBuffer(id, response, extended, response ? length : static_cast<uint8_t>(held), data);
    return LogLineKind::Frame;
}

}  // namespace

void AppendPcapngPacket(std::string& out, const CANBuffer& record) {
    const uint64_t timeUs = record.timestamp / kDeviceTicksPerUs;
    const size_t length = WrittenLength(record);
    uint32_t canId = record.id & MaxId(record.extended);
    if (record.extended) canId |= kEffFlag;
    if (record.response) canId |= kRtrFlag;
    AppendLittle32(out, kEnhancedPacketBlock);
    AppendLittle32(out, kPacketBlockSize);
    AppendLittle32(out, 0);  // interface
    AppendLittle32(out, static_cast<uint32_t>(timeUs >> 32));
    AppendLittle32(out, static_cast<uint32_t>(timeUs));
    AppendLittle32(out, kCanFrameSize);
    AppendLittle32(out, kCanFrameSize);
    AppendBig32(out, canId);
    out += static_cast<char>(length);
    out.append(3, '\0');
    for (size_t i = 0; i < kMaxDataLength; ++i)
        out += static_cast<char>(i < length && !record.response ? record.data[i] : 0);
    AppendLittle32(out, kPacketBlockSize);
}

LogFormat PcapngLogFormat() {
    return {AppendPcapngPacket, "", {SectionAndInterfaceBlocks()}, {}, kPacketBlockSize};
}

bool LooksLikePcapng(std::string_view bytes) {
    return bytes.size() >= 12 && BlockReader(bytes).Word32(0) == kSectionHeaderBlock;
}

bool ReadPcapngLog(std::string_view bytes, std::vector<LogFrame>& frames, LogReadError& error,
                   size_t maxFrames) {
    BlockReader reader(bytes);
    std::vector<uint64_t> unitsPerSecond;  // of each interface of the section
    size_t at = 0;
    for (size_t number = 1; at < bytes.size() && frames.size() < maxFrames; ++number) {
        const auto fail = [&](const std::string& reason) {
            error = {"block " + std::to_string(number), reason};
            return false;
        };
        if (bytes.size() - at < 12) return fail("cut short");
        const uint32_t type = reader.Word32(at);
        if (type == kSectionHeaderBlock) {
            const uint32_t magic = BlockReader(bytes).Word32(at + 8);
            if (magic != kByteOrderMagic && magic != kByteOrderMagicSwapped)
                return fail("not a pcapng section");
            reader.SetBigEndian(magic == kByteOrderMagicSwapped);
            unitsPerSecond.clear();
        } else if (number == 1) {
            return fail("not a pcapng file");
        }
        const uint32_t size = reader.Word32(at + 4);
        if (size < 12 || size % 4 != 0 || size > bytes.size() - at) return fail("cut short");
        if (type == kInterfaceBlock) {
            if (size < 20) return fail("cut short");
            if (reader.Word16(at + 8) != kLinkTypeSocketCan)
                return fail("not a SocketCAN capture (link type " +
                            std::to_string(reader.Word16(at + 8)) + ")");
            unitsPerSecond.push_back(UnitsPerSecond(reader, at + 16, at + size - 4));
        } else if (type == kEnhancedPacketBlock) {
            if (size < 32) return fail("cut short");
            const uint32_t interface = reader.Word32(at + 8);
            const uint32_t captured = reader.Word32(at + 20);
            if (interface >= unitsPerSecond.size()) return fail("packet of an unknown interface");
            if (captured > size - 32) return fail("cut short");
            LogFrame frame;
            std::string why;
            const LogLineKind kind = ReadCanFrame(bytes.substr(at + 28, captured), frame, why);
            if (kind == LogLineKind::Bad) return fail(why);
            if (kind == LogLineKind::Frame) {
                const uint64_t time =
                    uint64_t{reader.Word32(at + 12)} << 32 | reader.Word32(at + 16);
                const uint64_t units = unitsPerSecond[interface];
                SetLogFrameTime(frame, time / units * 1000000 + time % units * 1000000 / units);
                frames.push_back(frame);
            }
        }
        at += size;
    }
    return true;
}
