#include "logs/candump_log.h"

#include "logs/can_text.h"
#include "logs/log_text.h"
#include "logs/written_length.h"

namespace {

constexpr int kMaxDlc = 8;
constexpr size_t kLineCapacity = 48;

// "(seconds.fraction)" to microseconds.
bool ParseTime(std::string_view text, uint64_t& timeUs) {
    if (text.size() < 4 || text.front() != '(' || text.back() != ')') return false;
    return ParseSeconds(text.substr(1, text.size() - 2), timeUs);
}

bool ParseFrame(std::string_view text, CANBuffer& frame, std::string& error) {
    const size_t hash = text.find('#');
    if (hash == std::string_view::npos) {
        error = "no '#' between identifier and data";
        return false;
    }
    const std::string_view idText = text.substr(0, hash);
    std::string_view dataText = text.substr(hash + 1);
    CanId id;
    if ((idText.size() != 3 && idText.size() != 8) || !ParseCanId(idText, id)) {
        error = "bad identifier '" + std::string(idText) + "'";
        return false;
    }
    if (!dataText.empty() && dataText.front() == '#') {
        error = "CAN FD frames are not supported";
        return false;
    }
    if (!dataText.empty() && (dataText.front() == 'R' || dataText.front() == 'r')) {
        dataText.remove_prefix(1);
        uint64_t dlc = 0;
        if (!dataText.empty() && (!ParseDigits(dataText, dlc) || dlc > kMaxDlc)) {
            error = "bad remote frame length '" + std::string(dataText) + "'";
            return false;
        }
        frame = CANBuffer(id.id, true, id.extended, static_cast<uint8_t>(dlc), nullptr);
        return true;
    }
    std::vector<uint8_t> data;
    if (!ParseHexBytes(dataText, data) || data.size() > kMaxDlc) {
        error = "bad data '" + std::string(dataText) + "'";
        return false;
    }
    frame = CANBuffer(id.id, false, id.extended, static_cast<uint8_t>(data.size()), data.data());
    return true;
}

}  // namespace

void AppendCandumpLine(std::string& out, const CANBuffer& record) {
    out += '(';
    AppendSeconds(out, record.timestamp);
    out += ") can0 ";
    AppendHex(out, record.id, record.extended ? 8 : 3);
    out += '#';
    const size_t length = WrittenLength(record);
    if (record.response) {
        out += 'R';
        if (length > 0) AppendDecimal(out, static_cast<uint32_t>(length));
    } else {
        for (size_t i = 0; i < length; ++i) AppendHex(out, record.data[i], 2);
    }
}

std::string CandumpLine(const CANBuffer& record) {
    std::string line;
    line.reserve(kLineCapacity);
    AppendCandumpLine(line, record);
    return line;
}

LogFormat CandumpLogFormat() {
    return {AppendCandumpLine, "\n", {}, {}, kLineCapacity};
}

LogLineKind ReadCandumpLine(std::string_view line, LogFrame& out, std::string& error) {
    const size_t timeEnd = line.find(' ');
    const size_t nameEnd =
        timeEnd == std::string_view::npos ? timeEnd : line.find(' ', timeEnd + 1);
    if (nameEnd == std::string_view::npos || nameEnd == timeEnd + 1) {
        error = "expected '(time) interface frame'";
        return LogLineKind::Bad;
    }
    uint64_t timeUs = 0;
    if (!ParseTime(line.substr(0, timeEnd), timeUs)) {
        error = "bad time '" + std::string(line.substr(0, timeEnd)) + "'";
        return LogLineKind::Bad;
    }
    std::string_view frameText = line.substr(nameEnd + 1);
    frameText = frameText.substr(0, frameText.find(' '));
    if (!ParseFrame(frameText, out.frame, error)) return LogLineKind::Bad;
    SetLogFrameTime(out, timeUs);
    return LogLineKind::Frame;
}

bool ReadCandumpLog(std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
                    size_t maxFrames) {
    return ReadLogLines(text, ReadCandumpLine, frames, error, maxFrames);
}
