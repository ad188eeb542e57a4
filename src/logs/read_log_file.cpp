#include "logs/read_log_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/pcapng_log.h"

namespace {

constexpr size_t kCsvIdDigits = 8;

std::string_view FirstLine(std::string_view text) {
    const size_t start = text.find_first_not_of("\r\n");
    if (start == std::string_view::npos) return {};
    text = text.substr(start);
    return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace

bool ReadLog(std::string_view bytes, std::vector<LogFrame>& frames, LogReadError& error,
             size_t maxFrames) {
    if (LooksLikePcapng(bytes)) return ReadPcapngLog(bytes, frames, error, maxFrames);
    if (LooksLikeAsc(bytes)) return ReadAscLog(bytes, frames, error, maxFrames);
    const std::string_view first = FirstLine(bytes);
    if (first.empty()) return true;
    if (first.front() == '(') return ReadCandumpLog(bytes, frames, error, maxFrames);
    if (first.size() > kCsvIdDigits && first[kCsvIdDigits] == ',')
        return ReadCsvLog(bytes, frames, error, maxFrames);
    error = {"line 1", "not a CSV, candump, ASC or pcapng log"};
    return false;
}

bool ReadLogFile(const std::string& path, std::vector<LogFrame>& frames, LogReadError& error,
                 size_t maxFrames) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = {{}, std::strerror(errno)};
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        error = {{}, std::strerror(errno)};
        return false;
    }
    return ReadLog(bytes, frames, error, maxFrames);
}
