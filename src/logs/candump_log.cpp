#include "logs/candump_log.h"

#include "logs/log_text.h"
#include "logs/written_length.h"

std::string CandumpLine(const CANBuffer& record) {
    std::string line = "(";
    line.reserve(48);
    AppendSeconds(line, record.timestamp);
    line += ") can0 ";
    AppendHex(line, record.id, record.extended ? 8 : 3);
    line += '#';
    const size_t length = WrittenLength(record);
    if (record.response) {
        line += 'R';
        if (length > 0) AppendDecimal(line, static_cast<uint32_t>(length));
    } else {
        for (size_t i = 0; i < length; ++i) AppendHex(line, record.data[i], 2);
    }
    return line;
}

LogFormat CandumpLogFormat() {
    return {CandumpLine, "\n", {}, {}};
}
