#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class Serial;

// One device packet: start byte 0x55, a command letter, a length and up to 255 payload bytes,
// with 0x55 and 0x1B escaped inside. The same class is the receive assembler.
class Frame {
  public:
    static constexpr uint8_t kStart = 0x55;
    static constexpr uint8_t kEscape = 0x1B;
    static constexpr size_t kPayloadSize = 260;

    Frame(uint8_t command, uint8_t length, const uint8_t* data = nullptr);

    // Writes the whole packet to `link`; nothing when `link` is null or the packet does not
    // fit in the link's output buffer. Returns true.
    bool Send(Serial* link);
    // As Send, but true only when the packet was written.
    bool Write(Serial* link);
    // True when the whole packet would be written to `link` now.
    bool FitsIn(Serial& link) const;
    // Reads one byte from `link` and feeds it to the assembler; true when it completed a packet.
    bool ReceiveByte(Serial* link);
    // Feeds one received byte to the assembler; true when it completed a packet.
    bool Accept(uint8_t byte);
    // Feeds received bytes to the assembler until one of them completes a packet: how many it
    // took, and whether the last of them completed a packet.
    struct Accepted {
        size_t taken;
        bool completed;
    };
    Accepted Accept(std::span<const uint8_t> bytes);

    // The packet as it goes on the line.
    std::vector<uint8_t> Encode() const;
    // Appends one byte with the packet escaping.
    static void AppendEscaped(std::vector<uint8_t>& out, uint8_t byte);

    uint8_t command = 0;
    uint8_t length = 0;
    uint8_t count = 0;
    std::array<uint8_t, kPayloadSize> payload{};
    int index = 0;
    bool escaped = false;
    int stage = 0;
    bool inPacket = false;
};

// The main window's receive handler body: feeds what `link` holds through the assembler, taking
// at most `reported` bytes from the port, and hands every completed packet to `dispatch` before
// the next byte is fed. `link` is a Serial* or the smart pointer that owns the link: handling a
// packet may close the link (a modal box lets the user disconnect), so it is looked at again
// after every packet. The bytes not yet fed stay with the link, so that a receive handler run
// inside `dispatch` takes them first.
template <typename Link, typename Dispatch>
void ComReceive(Frame& assembler, const Link& link, int reported, Dispatch&& dispatch) {
    int left = reported;
    while (link) {
        const std::span<const uint8_t> held = link->Received();
        if (held.empty()) {
            const int taken = link->ReadWaiting(left);
            if (taken == 0) return;
            left -= taken;
            continue;
        }
        const Frame::Accepted accepted = assembler.Accept(held);
        link->TakeReceived(accepted.taken);
        if (accepted.completed) dispatch(assembler);
    }
}
