#include "monitor/frame_line.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "common/can_limits.h"
#include "common/text.h"
#include "session/can_buffer.h"

namespace {

// Four blanks, "TX" and fifteen blanks: as wide as the sequence and time of a received line.
constexpr const char* kTransmittedPrefix = "    TX               ";

__attribute__((format(printf, 2, 3))) void AppendFormatted(std::string& line, const char* format,
                                                           ...) {
    char text[48];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n > 0) line.append(text, std::min<size_t>(static_cast<size_t>(n), sizeof text - 1));
}

}  // namespace

std::string FormatFrameLine(const CANBuffer& record, bool transmitted) {
    std::string line;
    if (record.brief) {
        AppendFormatted(line, "0x%08X ?? (Brief Mode)", record.id);
        return line;
    }
    if (transmitted) {
        line = kTransmittedPrefix;
    } else {
        AppendFormatted(line, "%06u ", record.sequence);
        line += FormatDeviceTime(record.timestamp) + ' ';
    }
    line += record.extended ? 'E' : 'S';
    line += ' ';
    line += record.response ? 'R' : ' ';
    line += ' ';
    line += FormatIdentifier(record.id);
    AppendFormatted(line, " %u ", static_cast<unsigned>(record.dlc));
    return line + FormatDataBytes(record);
}

std::string FormatDeviceTime(uint32_t ticks) {
    const uint32_t seconds = ticks / kDeviceTicksPerSecond;
    const uint32_t microseconds = (ticks % kDeviceTicksPerSecond) / kDeviceTicksPerUs;
    std::string text;
    AppendFormatted(text, "%01u,%03u,%03u,%03u", seconds / 1000, seconds % 1000,
                    microseconds / 1000, microseconds % 1000);
    return text;
}

std::string FormatIdentifier(uint32_t id) {
    std::string text;
    AppendFormatted(text, "0x%08X", id);
    return text;
}

std::string FormatDataBytes(const CANBuffer& record) {
    // A length above 8 is shown as the device sent it; the record holds eight bytes.
    const int shown = std::min<int>(record.dlc, static_cast<int>(record.data.size()));
    std::string text;
    for (int i = 0; i < shown; ++i) text += HexByte(record.data[i]) + ' ';
    return text;
}
