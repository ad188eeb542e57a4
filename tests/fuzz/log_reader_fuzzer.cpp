// Any bytes as a saved log of each format and as a file whose format is told by its contents:
// the readers never read out of bounds, stop at the frame limit, and a failure names a place.
// Every frame read is one a record can hold.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/pcapng_log.h"
#include "logs/read_log_file.h"

namespace {

constexpr size_t kMaxFrames = 64;

using Reader = bool (*)(std::string_view, std::vector<LogFrame>&, LogReadError&, size_t);

void Check(Reader read, std::string_view bytes) {
    std::vector<LogFrame> frames;
    LogReadError error;
    const bool ok = read(bytes, frames, error, kMaxFrames);
    FUZZ_CHECK(frames.size() <= kMaxFrames);
    if (!ok) FUZZ_CHECK(!error.reason.empty());
    for (const LogFrame& frame : frames) {
        FUZZ_CHECK(frame.frame.id <= (frame.frame.extended ? 0x1FFFFFFFu : 0x7FFu));
        FUZZ_CHECK(frame.frame.brief || frame.frame.response || frame.frame.dlc <= 8 ||
                   read == ReadCsvLog);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const Reader read : {ReadCsvLog, ReadCandumpLog, ReadAscLog, ReadPcapngLog})
        Check(read, bytes);
    Check([](std::string_view text, std::vector<LogFrame>& frames, LogReadError& error,
             size_t maxFrames) { return ReadLog(text, frames, error, maxFrames); },
          bytes);
    return 0;
}
