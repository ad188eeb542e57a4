// Any stored frame record, written as a frame log line and as a line of each saved log format
// (comma-separated, candump, Vector ASC), each line read back; and a store of such records
// saved in each format.
//
// Input: records of 24 bytes each, as the device's 19-byte layout, a layout selector and a
// 32-bit sequence number.

#include <unistd.h>

#include <QDateTime>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "fuzz_check.h"
#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/log_file.h"
#include "logs/written_length.h"
#include "monitor/frame_line.h"
#include "session/can_buffer.h"
#include "session/frame_store.h"

namespace {

constexpr size_t kRecordBytes = CANBufferPIC::kSize + 1 + 4;

CANBuffer RecordFrom(const uint8_t* bytes) {
    CANBuffer record = FromPIC(CANBufferPIC::FromBytes(bytes), bytes[CANBufferPIC::kSize] % 3);
    std::memcpy(&record.sequence, bytes + CANBufferPIC::kSize + 1, sizeof record.sequence);
    return record;
}

// The fields between separators; with `collapse`, a run of separators counts as one.
std::vector<std::string> Split(std::string_view line, char separator, bool collapse = false) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c != separator)
            fields.back() += c;
        else if (!collapse || !fields.back().empty())
            fields.emplace_back();
    }
    return fields;
}

bool IsUpperHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

bool IsDecimal(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Bytes in two hex digits each read back as the record's first bytes.
bool BytesAre(const std::vector<std::string>& texts, const CANBuffer& record) {
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i].size() != 2 || !IsUpperHex(texts[i]) || ParseHex(texts[i]) != record.data[i])
            return false;
    return true;
}

// "seconds.micro" reads back as the time stamp without its half microsecond.
bool SecondsAre(std::string_view text, uint32_t ticks) {
    const size_t point = text.find('.');
    if (point == std::string_view::npos || text.size() - point != 7) return false;
    const std::string_view seconds = text.substr(0, point);
    const std::string_view micro = text.substr(point + 1);
    if (!IsDecimal(seconds) || !IsDecimal(micro)) return false;
    return uint64_t{ParseDecimal(seconds)} * 2000000 + uint64_t{ParseDecimal(micro)} * 2 ==
           ticks - ticks % 2;
}

void CheckCsvLine(const CANBuffer& record) {
    const std::vector<std::string> fields = Split(LogLine(record), ',');
    FUZZ_CHECK(fields[0].size() == 8 && IsUpperHex(fields[0]) && ParseHex(fields[0]) == record.id);
    if (record.brief) {
        FUZZ_CHECK(fields.size() == 2 && fields[1] == "?");
        return;
    }
    const size_t byteCount = std::min<size_t>(record.dlc, record.data.size());
    FUZZ_CHECK(fields.size() == 5 + byteCount);
    FUZZ_CHECK(fields[1].size() >= 9 && IsDecimal(fields[1]) &&
               ParseDecimal(fields[1]) == record.timestamp);
    FUZZ_CHECK(fields[2] == std::to_string(record.extended));
    FUZZ_CHECK(fields[3] == std::to_string(record.response));
    FUZZ_CHECK(fields[4] == std::to_string(record.dlc));
    FUZZ_CHECK(BytesAre({fields.begin() + 5, fields.end()}, record));
}

// (seconds.micro) can0 ID#DATA, or ID#R with the length when not 0.
void CheckCandumpLine(const CANBuffer& record) {
    const std::string line = CandumpLine(record);
    const size_t close = line.find(") can0 ");
    FUZZ_CHECK(line.front() == '(' && close != std::string::npos);
    FUZZ_CHECK(SecondsAre(std::string_view(line).substr(1, close - 1), record.timestamp));
    const std::vector<std::string> frame = Split(line.substr(close + 7), '#');
    FUZZ_CHECK(frame.size() == 2 && IsUpperHex(frame[0]) && ParseHex(frame[0]) == record.id);
    const size_t idDigits = record.extended ? 8 : 3;
    if (record.id < (uint64_t{1} << (4 * idDigits))) FUZZ_CHECK(frame[0].size() == idDigits);
    const size_t length = WrittenLength(record);
    if (record.response) {
        FUZZ_CHECK(frame[1] == (length == 0 ? "R" : "R" + std::to_string(length)));
        return;
    }
    FUZZ_CHECK(frame[1].size() == 2 * length);
    std::vector<std::string> bytes;
    for (size_t i = 0; i < length; ++i) bytes.push_back(frame[1].substr(2 * i, 2));
    FUZZ_CHECK(BytesAre(bytes, record));
}

// time, channel 1, ID with "x" when extended, Rx, d or r, length and the data bytes, with the
// direction in its fixed column.
void CheckAscLine(const CANBuffer& record) {
    const std::string line = AscLine(record);
    FUZZ_CHECK(line.compare(30, 6, " Rx   ") == 0);
    const std::vector<std::string> fields = Split(line, ' ', true);
    const size_t length = WrittenLength(record);
    const size_t byteCount = record.response ? 0 : length;
    FUZZ_CHECK(fields.size() == 6 + byteCount);
    FUZZ_CHECK(SecondsAre(fields[0], record.timestamp) && fields[1] == "1");
    std::string_view id = fields[2];
    FUZZ_CHECK((id.back() == 'x') == (record.extended != 0));
    if (record.extended) id.remove_suffix(1);
    FUZZ_CHECK(IsUpperHex(id) && ParseHex(id) == record.id);
    FUZZ_CHECK(fields[3] == "Rx" && fields[4] == (record.response ? "r" : "d"));
    FUZZ_CHECK(fields[5] == std::to_string(length));
    FUZZ_CHECK(BytesAre({fields.begin() + 6, fields.end()}, record));
}

// A received and a transmitted line of the frame log: one line, identifier and length read
// back, the bytes the record holds, and (below a sequence of a million) the identifier in the
// same column.
void CheckFrameLogLines(const CANBuffer& record) {
    const std::string received = FormatFrameLine(record, false);
    const std::string sent = FormatFrameLine(record, true);
    for (const std::string* line : {&received, &sent}) {
        FUZZ_CHECK(line->find_first_of("\r\n") == std::string::npos);
        const size_t id = line->find("0x");
        FUZZ_CHECK(id != std::string::npos && IsUpperHex(line->substr(id + 2, 8)));
        FUZZ_CHECK(ParseHex(line->substr(id + 2)) == record.id);
        if (record.brief) continue;
        // identifier, length, the bytes, and the empty field after the closing blank
        const std::vector<std::string> fields = Split(line->substr(id), ' ');
        const size_t byteCount = std::min<size_t>(record.dlc, record.data.size());
        FUZZ_CHECK(fields.size() == 3 + byteCount && fields.back().empty());
        FUZZ_CHECK(fields[1] == std::to_string(record.dlc));
        FUZZ_CHECK(BytesAre({fields.begin() + 2, fields.end() - 1}, record));
    }
    if (!record.brief && record.sequence < 1000000)
        FUZZ_CHECK(received.find("0x") == sent.find("0x"));
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The saved file: the header, one line per frame oldest first, the footer, each line with the
// format's line end and none inside; a frame with its own time is its line as is.
void CheckSavedLog(const FrameStore& store, const LogFormat& format) {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("log_line_fuzzer." + std::to_string(getpid()) + ".log");
    std::filesystem::remove(path);
    const LogSaveResult result = SaveFrameLog(store, path.string(), format);
    if (store.Empty()) {
        FUZZ_CHECK(result == LogSaveResult::NothingToSave && !std::filesystem::exists(path));
        return;
    }
    FUZZ_CHECK(result == LogSaveResult::Saved);
    const std::string text = ReadWholeFile(path);
    std::filesystem::remove(path);

    const std::string_view lineEnd = format.lineEnd;
    std::vector<std::string_view> lines;
    for (std::string_view rest = text; !rest.empty();) {
        const size_t end = rest.find(lineEnd);
        FUZZ_CHECK(end != std::string_view::npos);
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + lineEnd.size());
    }
    FUZZ_CHECK(lines.size() == format.header.size() + store.Size() + format.footer.size());
    FUZZ_CHECK(std::equal(format.header.begin(), format.header.end(), lines.begin()));
    FUZZ_CHECK(
        std::equal(format.footer.begin(), format.footer.end(), lines.end() - format.footer.size()));
    for (size_t i = 0; i < store.Size(); ++i) {
        const std::string_view line = lines[format.header.size() + i];
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        std::string expected;
        format.line(expected, store[i]);
        if (!store[i].brief) FUZZ_CHECK(line == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FrameStore store;
    for (size_t offset = 0; offset + kRecordBytes <= size; offset += kRecordBytes) {
        const CANBuffer& record = store.Append(RecordFrom(data + offset));
        CheckFrameLogLines(record);
        CheckCsvLine(record);
        CheckCandumpLine(record);
        CheckAscLine(record);
    }
    static const QDateTime saved(QDate(2024, 3, 14), QTime(14, 5, 9, 123));
    for (const LogFormat& format : {CsvLogFormat(), CandumpLogFormat(), AscLogFormat(saved)})
        CheckSavedLog(store, format);
    return 0;
}
