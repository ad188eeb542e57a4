#include "logs/csv_log.h"

#include <algorithm>

#include "logs/log_text.h"

namespace {

constexpr size_t kTimestampDigits = 9;

}  // namespace

std::string LogLine(const CANBuffer& record) {
    std::string line;
    line.reserve(56);
    AppendHex(line, record.id, 8);
    if (record.brief) return line.append(",?");
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
    return line;
}

LogFormat CsvLogFormat() {
    return {LogLine, "\r\n", {}, {}};
}
