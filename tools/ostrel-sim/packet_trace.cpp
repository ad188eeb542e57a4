#include "packet_trace.h"

#include <charconv>

#include "logs/can_text.h"

std::string FormatTraceLine(const TracedPacket& packet) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = std::to_string(packet.timeUs);
    line += ' ';
    line += packet.direction;
    line += ' ';
    line += static_cast<char>(packet.letter);
    if (!packet.payload.empty()) line += ' ';
    for (uint8_t byte : packet.payload) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

bool ParseTraceLine(std::string_view line, TracedPacket& out) {
    const size_t space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4 || line[space + 2] != ' ')
        return false;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + space, out.timeUs);
    if (ec != std::errc() || end != line.data() + space) return false;
    out.direction = line[space + 1];
    out.letter = static_cast<uint8_t>(line[space + 3]);
    const std::string_view rest = line.substr(space + 4);
    if (rest.empty()) {
        out.payload.clear();
        return true;
    }
    return rest.front() == ' ' && ParseHexBytes(rest.substr(1), out.payload);
}

void PacketTrace::Record(uint64_t timeUs, char direction, uint8_t letter, const uint8_t* payload,
                         size_t size) {
    const TracedPacket packet{timeUs, direction, letter,
                              std::vector<uint8_t>(payload, payload + size)};
    const std::string line = FormatTraceLine(packet) + '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}
