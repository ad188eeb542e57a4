#include "logs/log_reader.h"

#include "common/can_limits.h"

bool ReadLogLines(std::string_view text, LogLineReader readLine, std::vector<LogFrame>& frames,
                  LogReadError& error, size_t maxFrames) {
    size_t number = 0;
    while (!text.empty() && frames.size() < maxFrames) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        LogFrame frame;
        std::string why;
        switch (readLine(line, frame, why)) {
            case LogLineKind::Frame:
                frames.push_back(frame);
                break;
            case LogLineKind::Other:
                break;
            case LogLineKind::Bad:
                error = {"line " + std::to_string(number), why};
                return false;
        }
    }
    return true;
}

void SetLogFrameTime(LogFrame& frame, uint64_t timeUs) {
    frame.timeUs = timeUs;
    frame.frame.timestamp = static_cast<uint32_t>(timeUs * kDeviceTicksPerUs);
}
