#include "logs/asc_log.h"

#include <QDateTime>

#include "logs/log_text.h"
#include "logs/written_length.h"

namespace {

constexpr size_t kTimeWidth = 11;  // seconds right-aligned in four places, point, six digits
constexpr size_t kIdWidth = 15;

constexpr const char* kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void AppendPadded(std::string& out, const std::string& text, size_t width, bool alignRight) {
    const size_t padding = text.size() < width ? width - text.size() : 0;
    if (alignRight) out.append(padding, ' ');
    out += text;
    if (!alignRight) out.append(padding, ' ');
}

}  // namespace

std::string AscLine(const CANBuffer& record) {
    std::string time;
    AppendSeconds(time, record.timestamp);
    std::string id;
    AppendHex(id, record.id, 1);
    if (record.extended) id += 'x';

    std::string line;
    line.reserve(72);
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
    return {AscLine,
            "\r\n",
            {"date " + date, "base hex  timestamps absolute", "no internal events logged",
             "Begin Triggerblock " + date},
            {"End TriggerBlock"}};
}
