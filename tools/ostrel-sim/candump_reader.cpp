#include "candump_reader.h"

#include <algorithm>
#include <charconv>
#include <fstream>

#include "can_text.h"

namespace {

constexpr int kMaxDlc = 8;

bool ParseDigits(std::string_view text, uint64_t& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "(seconds.fraction)" to microseconds; the fraction has 1 to 9 digits.
bool ParseTime(std::string_view text, uint64_t& timeUs) {
    if (text.size() < 4 || text.front() != '(' || text.back() != ')') return false;
    text = text.substr(1, text.size() - 2);
    const size_t dot = text.find('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view fraction = text.substr(dot + 1);
    uint64_t seconds = 0;
    uint64_t fractionValue = 0;
    if (!ParseDigits(text.substr(0, dot), seconds) || fraction.size() > 9 ||
        !ParseDigits(fraction, fractionValue))
        return false;
    for (size_t digits = fraction.size(); digits < 6; ++digits) fractionValue *= 10;
    for (size_t digits = fraction.size(); digits > 6; --digits) fractionValue /= 10;
    timeUs = seconds * 1000000 + fractionValue;
    return true;
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

bool ParseCandumpLine(std::string_view line, LogFrame& out, std::string& error) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t timeEnd = line.find(' ');
    const size_t nameEnd =
        timeEnd == std::string_view::npos ? timeEnd : line.find(' ', timeEnd + 1);
    if (nameEnd == std::string_view::npos || nameEnd == timeEnd + 1) {
        error = "expected '(time) interface frame'";
        return false;
    }
    if (!ParseTime(line.substr(0, timeEnd), out.timeUs)) {
        error = "bad time '" + std::string(line.substr(0, timeEnd)) + "'";
        return false;
    }
    std::string_view frameText = line.substr(nameEnd + 1);
    frameText = frameText.substr(0, frameText.find(' '));
    return ParseFrame(frameText, out.frame, error);
}

bool ReadCandumpLog(const std::string& path, std::vector<LogFrame>& frames, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line == "\r") continue;
        LogFrame frame;
        std::string why;
        if (!ParseCandumpLine(line, frame, why)) {
            error = path + ":" + std::to_string(number) + ": " + why;
            return false;
        }
        frames.push_back(frame);
    }
    return true;
}

bool ReplaySource::Next(TimedFrame& out) {
    if (next_ >= frames_.size()) return false;
    const LogFrame& frame = frames_[next_++];
    out.frame = frame.frame;
    out.dueUs = 0;
    if (fast_) return true;
    // A frame whose time steps back goes out right after the one before it.
    const uint64_t start = frames_.front().timeUs;
    lastDueUs_ = std::max(lastDueUs_, frame.timeUs > start ? frame.timeUs - start : 0);
    out.dueUs = lastDueUs_;
    return true;
}
