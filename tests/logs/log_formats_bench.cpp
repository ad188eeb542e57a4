// Writing and reading 50,000 frames of a vehicle trace in each log format, beside a single
// write() and read() of the same bytes. log_formats_bench.py runs it and python-can's writers
// and readers side by side. Prints one line per format:
//   FORMAT FILE WRITE_MS READ_MS PLAIN_WRITE_MS PLAIN_READ_MS
#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "logs/read_log_file.h"
#include "logs/save_message_log.h"
#include "support/file_bytes.h"
#include "support/recording_user_messages.h"
#include "vehicle_trace.h"

namespace {

constexpr int kRuns = 9;

double MedianMs(const std::function<void()>& run) {
    std::vector<qint64> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return static_cast<double>(times[times.size() / 2]) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const FrameStore store = VehicleTrace(FrameStore::kLimit);
    RecordingUserMessages messages;
    const struct {
        const char* name;
        MessageLogFormat format;
    } formats[] = {{"csv", MessageLogFormat::Csv},
                   {"log", MessageLogFormat::Candump},
                   {"asc", MessageLogFormat::Asc},
                   {"pcapng", MessageLogFormat::Pcapng}};
    for (const auto& format : formats) {
        const std::string path = folder + "/trace." + format.name;
        const double writeMs = MedianMs([&] {
            std::remove(path.c_str());  // a new file each time, as the plain write() makes
            SaveMessageLog(store, MessageLogTarget{path, format.format}, messages);
        });
        size_t frames = 0;
        const double readMs = MedianMs([&] {
            std::vector<LogFrame> read;
            LogReadError error;
            ReadLogFile(path, read, error);
            frames = read.size();
        });
        const std::string bytes = ReadFileBytes(path);
        const std::string plain = path + ".plain";
        const double plainWriteMs = MedianMs([&] {
            std::remove(plain.c_str());
            const int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) frames = 0;
            ::close(fd);
        });
        std::string back(bytes.size(), '\0');
        const double plainReadMs = MedianMs([&] {
            const int fd = ::open(plain.c_str(), O_RDONLY);
            if (::read(fd, back.data(), back.size()) != ssize_t(back.size())) frames = 0;
            ::close(fd);
        });
        if (frames != store.Size() || !messages.boxes.empty()) {
            std::fprintf(stderr, "%s: read %zu frames back\n", format.name, frames);
            return 1;
        }
        std::printf("%s %s %.2f %.2f %.3f %.3f\n", format.name, path.c_str(), writeMs, readMs,
                    plainWriteMs, plainReadMs);
    }
    return 0;
}
