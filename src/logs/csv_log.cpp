#include "logs/csv_log.h"

#include <algorithm>
#include <array>

#include "common/can_limits.h"
#include "logs/can_text.h"
#include "logs/log_text.h"

namespace {

constexpr size_t kTimestampDigits = 9;
constexpr size_t kLineCapacity = 56;
constexpr size_t kFixedFields = 5;  // identifier, time stamp, extended, response, length

// The comma-separated fields of a line; a line of more fields than a frame has keeps one
// more, so that it still reads as too long.
struct Fields {
    std::array<std::string_view, kFixedFields + 9> field;
    size_t count = 0;
    const std::string_view& operator[](size_t index) const { return field[index]; }
    size_t size() const { return count; }
};

Fields Split(std::string_view line) {
    Fields fields;
    for (size_t start = 0; fields.count < fields.field.size();) {
        const size_t comma = line.find(',', start);
        fields.field[fields.count++] = line.substr(start, comma - start);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

bool ParseFlag(std::string_view text, uint8_t& flag) {
    if (text != "0" && text != "1") return false;
    flag = text == "1";
    return true;
}

bool ParseIdentifier(std::string_view text, uint32_t& id) {
    uint8_t bytes[4];
    for (size_t i = 0; i < 4; ++i)
        if (text.size() != 8 || !ParseHexByte(text.substr(i * 2, 2), bytes[i])) return false;
    id = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    return id <= kMaxExtendedId;
}

}  // namespace

void AppendLogLine(std::string& line, const CANBuffer& record) {
    AppendHex(line, record.id, 8);
    if (record.brief) {
        line += ",?";
        return;
    }
    line += ',';
    AppendDecimal(line, record.timestamp, kTimestampDigits);
    for (const uint8_t field : {record.extended, record.response, record.dlc}) {
        line += ',';
        AppendDecimal(line, field);
    }
    const size_t byteCount = std::min<size_t>(record.dlc, record.data.size());
    for (size_t i = 0; i < byteCount; ++i) {
        line += ',';
        AppendHex(line, record.data[i], 2);
    }
}

std::string LogLine(const CANBuffer& record) {
    std::string line;
    line.reserve(kLineCapacity);
    AppendLogLine(line, record);
    return line;
}

LogFormat CsvLogFormat() {
    return {AppendLogLine, "\r\n", {}, {}, kLineCapacity};
}

LogLineKind ReadCsvLine(std::string_view line, LogFrame& out, std::string& error) {
    const Fields fields = Split(line);
    uint32_t id = 0;
    if (!ParseIdentifier(fields[0], id)) {
        error = "bad identifier '" + std::string(fields[0]) + "'";
        return LogLineKind::Bad;
    }
    if (fields.size() == 2 && fields[1] == "?") {
        out.frame = CANBuffer(id, false, id > kMaxStandardId, 0, nullptr, 0, true);
        return LogLineKind::Frame;
    }
    uint64_t ticks = 0;
    uint64_t dlc = 0;
    CANBuffer& frame = out.frame;
    if (fields.size() < kFixedFields || !ParseDigits(fields[1], ticks) || ticks > UINT32_MAX ||
        !ParseFlag(fields[2], frame.extended) || !ParseFlag(fields[3], frame.response) ||
        !ParseDigits(fields[4], dlc) || dlc > UINT8_MAX) {
        error = "expected identifier, time stamp, extended, response and length";
        return LogLineKind::Bad;
    }
    if (!frame.extended && id > kMaxStandardId) {
        error = "standard identifier above 7FF";
        return LogLineKind::Bad;
    }
    const size_t byteCount = std::min<size_t>(dlc, frame.data.size());
    if (fields.size() != kFixedFields + byteCount) {
        error = "expected " + std::to_string(byteCount) + " data bytes";
        return LogLineKind::Bad;
    }
    for (size_t i = 0; i < byteCount; ++i) {
        if (!ParseHexByte(fields[kFixedFields + i], frame.data[i])) {
            error = "bad data byte '" + std::string(fields[kFixedFields + i]) + "'";
            return LogLineKind::Bad;
        }
    }
    frame.id = id;
    frame.dlc = static_cast<uint8_t>(dlc);
    frame.timestamp = static_cast<uint32_t>(ticks);
    out.timeUs = ticks / kDeviceTicksPerUs;
    return LogLineKind::Frame;
}

bool ReadCsvLog(std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
                size_t maxFrames) {
    const size_t first = frames.size();
    const bool read = ReadLogLines(text, ReadCsvLine, frames, error, maxFrames);
    uint32_t lastKnownTime = 0;
    for (size_t i = first; i < frames.size(); ++i) {
        CANBuffer& frame = frames[i].frame;
        if (frame.brief) {
            frame.timestamp = lastKnownTime;
            frames[i].timeUs = lastKnownTime / kDeviceTicksPerUs;
        } else {
            lastKnownTime = frame.timestamp;
        }
    }
    return read;
}
