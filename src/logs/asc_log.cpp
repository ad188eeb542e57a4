#include "logs/asc_log.h"

#include <QDateTime>
#include <array>

#include "logs/can_text.h"
#include "logs/log_text.h"
#include "logs/written_length.h"

namespace {

constexpr size_t kTimeWidth = 11;  // seconds right-aligned in four places, point, six digits
constexpr size_t kIdWidth = 15;
constexpr size_t kLineCapacity = 72;

constexpr const char* kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void AppendPadded(std::string& out, const std::string& text, size_t width, bool alignRight) {
    const size_t padding = text.size() < width ? width - text.size() : 0;
    if (alignRight) out.append(padding, ' ');
    out += text;
    if (!alignRight) out.append(padding, ' ');
}

// The first words of a line, as many as a frame line uses (the Vector tools may add more).
struct Words {
    std::array<std::string_view, 14> word;
    size_t count = 0;
    const std::string_view& operator[](size_t index) const { return word[index]; }
    size_t size() const { return count; }
};

Words Split(std::string_view line) {
    Words words;
    size_t start = line.find_first_not_of(" \t");
    while (start != std::string_view::npos && words.count < words.word.size()) {
        const size_t end = line.find_first_of(" \t", start);
        words.word[words.count++] = line.substr(start, end - start);
        start = line.find_first_not_of(" \t", end);
    }
    return words;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// Lines that hold no frame: the header, the trigger block and comments.
bool IsHeaderLine(std::string_view line) {
    for (const char* start :
         {"date ", "base hex", "no internal events", "internal events", "Begin Triggerblock",
          "Begin TriggerBlock", "End TriggerBlock", "End Triggerblock", "//"})
        if (StartsWith(line, start)) return true;
    return false;
}

bool IsChannel(std::string_view word) {
    uint64_t channel = 0;
    return ParseDigits(word, channel);
}

}  // namespace

void AppendAscLine(std::string& line, const CANBuffer& record) {
    std::string time;
    AppendSeconds(time, record.timestamp);
    std::string id;
    AppendHex(id, record.id, 1);
    if (record.extended) id += 'x';

    AppendPadded(line, time, kTimeWidth, true);
    line += " 1  ";
    AppendPadded(line, id, kIdWidth, false);
    line += " Rx   ";
    const size_t length = WrittenLength(record);
    line += record.response ? "r " : "d ";
    AppendDecimal(line, static_cast<uint32_t>(length));
    if (!record.response) {
        for (size_t i = 0; i < length; ++i) {
            line += ' ';
            AppendHex(line, record.data[i], 2);
        }
    }
}

std::string AscLine(const CANBuffer& record) {
    std::string line;
    line.reserve(kLineCapacity);
    AppendAscLine(line, record);
    return line;
}

std::string AscDate(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    std::string text = kWeekdays[date.dayOfWeek() - 1];
    text += ' ';
    text += kMonths[date.month() - 1];
    text += ' ';
    AppendDecimal(text, static_cast<uint32_t>(date.day()), 2);
    text += ' ';
    AppendDecimal(text, static_cast<uint32_t>(hour12), 2);
    text += ':';
    AppendDecimal(text, static_cast<uint32_t>(time.minute()), 2);
    text += ':';
    AppendDecimal(text, static_cast<uint32_t>(time.second()), 2);
    text += '.';
    AppendDecimal(text, static_cast<uint32_t>(time.msec()), 3);
    text += time.hour() < 12 ? " am " : " pm ";
    AppendDecimal(text, static_cast<uint32_t>(date.year()));
    return text;
}

LogFormat AscLogFormat(const QDateTime& saved) {
    const std::string date = AscDate(saved);
    return {AppendAscLine,
            "\r\n",
            {"date " + date, "base hex  timestamps absolute", "no internal events logged",
             "Begin Triggerblock " + date},
            {"End TriggerBlock"},
            kLineCapacity};
}

LogLineKind ReadAscLine(std::string_view line, LogFrame& out, std::string& error) {
    line = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
    if (IsHeaderLine(line)) return LogLineKind::Other;
    if (StartsWith(line, "base ")) {
        error = "only hexadecimal identifiers (base hex) are supported";
        return LogLineKind::Bad;
    }
    const Words words = Split(line);
    uint64_t timeUs = 0;
    if (words.size() < 2 || !ParseSeconds(words[0], timeUs)) {
        error = "expected a time in seconds";
        return LogLineKind::Bad;
    }
    if (words[1] == "Start" || (words.size() > 2 && IsChannel(words[1]) &&
                                (words[2] == "ErrorFrame" || words[2] == "Statistic:")))
        return LogLineKind::Other;
    if (words.size() < 6 || !IsChannel(words[1]) || (words[3] != "Rx" && words[3] != "Tx") ||
        (words[4] != "d" && words[4] != "r")) {
        error = "expected 'time channel identifier Rx|Tx d|r length data'";
        return LogLineKind::Bad;
    }
    std::string idText(words[2]);
    const bool extended = !idText.empty() && (idText.back() == 'x' || idText.back() == 'X');
    if (extended) {
        idText.pop_back();
        if (idText.size() < 8) idText.insert(0, 8 - idText.size(), '0');  // 8 digits: extended
    }
    CanId id;
    if (!ParseCanId(idText, id) || id.extended != extended) {
        error = "bad identifier '" + std::string(words[2]) + "'";
        return LogLineKind::Bad;
    }
    uint64_t length = 0;
    if (!ParseDigits(words[5], length) || length > 8) {
        error = "bad length '" + std::string(words[5]) + "'";
        return LogLineKind::Bad;
    }
    const bool response = words[4] == "r";
    uint8_t data[8] = {};
    if (!response) {
        if (words.size() < 6 + length) {
            error = "expected " + std::to_string(length) + " data bytes";
            return LogLineKind::Bad;
        }
        for (size_t i = 0; i < length; ++i) {
            if (!ParseHexByte(words[6 + i], data[i])) {
                error = "bad data byte '" + std::string(words[6 + i]) + "'";
                return LogLineKind::Bad;
            }
        }
    }
    out.frame = CANBuffer(id.id, response, extended, static_cast<uint8_t>(length), data);
    SetLogFrameTime(out, timeUs);
    return LogLineKind::Frame;
}

bool ReadAscLog(std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
                size_t maxFrames) {
    return ReadLogLines(text, ReadAscLine, frames, error, maxFrames);
}

bool LooksLikeAsc(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos &&
           (StartsWith(text.substr(start), "date ") || StartsWith(text.substr(start), "base "));
}
