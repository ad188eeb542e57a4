#include "export/csv_log.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr size_t kTimestampDigits = 9;

void AppendHex(std::string& out, uint32_t value, int digits) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

void AppendDecimal(std::string& out, uint32_t value, size_t minDigits = 1) {
    char digits[16];
    const size_t count =
        static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    if (count < minDigits) out.append(minDigits - count, '0');
    out.append(digits, count);
}

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
