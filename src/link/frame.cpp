#include "link/frame.h"

#include <algorithm>
#include <cstring>

#include "link/serial.h"

Frame::Frame(uint8_t command_, uint8_t length_, const uint8_t* data)
    : command(command_), length(length_), count(length_) {
    if (data != nullptr) std::memcpy(payload.data(), data, length_);
}

void Frame::AppendEscaped(std::vector<uint8_t>& out, uint8_t byte) {
    if (byte == kStart || byte == kEscape) {
        out.push_back(kEscape);
        byte |= 0x80;
    }
    out.push_back(byte);
}

std::vector<uint8_t> Frame::Encode() const {
    std::vector<uint8_t> wire;
    wire.reserve(3 + 2u * (count + 2u));
    wire.push_back(kStart);
    AppendEscaped(wire, command);
    AppendEscaped(wire, count);
    for (unsigned i = 0; i < count; ++i) AppendEscaped(wire, payload[i]);
    return wire;
}

bool Frame::Send(Serial* link) {
    Write(link);
    return true;
}

bool Frame::Write(Serial* link) {
    if (link == nullptr) return false;
    const std::vector<uint8_t> wire = Encode();
    const bool written = link->WriteBlock(wire.data(), wire.size());
    count = 0;
    return written;
}

bool Frame::FitsIn(Serial& link) const {
    const std::vector<uint8_t> wire = Encode();
    return link.HasRoomFor(wire.data(), wire.size());
}

bool Frame::ReceiveByte(Serial* link) {
    if (link == nullptr) return false;
    const int byte = link->ReadByte();
    if (byte < 0) return false;
    return Accept(static_cast<uint8_t>(byte));
}

bool Frame::Accept(uint8_t byte) {
    if (byte == kStart) {
        inPacket = true;
        stage = 0;
        index = 0;
        escaped = false;
        return false;
    }
    if (!inPacket) return false;
    if (byte == kEscape) {
        escaped = true;
        return false;
    }
    if (escaped) {
        byte &= 0x7F;
        escaped = false;
    }
    if (stage == 0) {
        command = byte;
        stage = 1;
        return false;
    }
    if (stage == 1) {
        length = byte;
        count = byte;
        stage = 2;
        // A short packet must never show what an earlier, longer one left behind.
        std::fill(payload.begin() + length, payload.end(), 0);
        if (length == 0) {
            inPacket = false;
            return true;
        }
        return false;
    }
    payload[static_cast<size_t>(index)] = byte;
    ++index;
    --count;
    if (count == 0) {
        inPacket = false;
        return true;
    }
    return false;
}

Frame::Accepted Frame::Accept(std::span<const uint8_t> bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (inPacket && stage == 2 && !escaped) {
            // Payload bytes that need no unescaping are copied as one run.
            const size_t limit = std::min<size_t>(count, bytes.size() - i);
            size_t run = 0;
            while (run < limit && bytes[i + run] != kStart && bytes[i + run] != kEscape) ++run;
            std::memcpy(payload.data() + index, bytes.data() + i, run);
            index += static_cast<int>(run);
            count = static_cast<uint8_t>(count - run);
            i += run;
            if (count == 0) {
                inPacket = false;
                return {i, true};
            }
            if (i == bytes.size()) break;
        }
        if (Accept(bytes[i++])) return {i, true};
    }
    return {i, false};
}
