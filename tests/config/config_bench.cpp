// Loading and saving the configuration file with a transmit list of state.range(0) lines, and
// a full configuration of 2 MB (10,000 lines with notes) beside plain reading and writing of the
// same bytes. The memory counter is the most the process held resident during the runs beyond
// what it held before them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "common/replace_file.h"
#include "config/config_file.h"
#include "config/config_record.h"
#include "config/fake_config_controls.h"

namespace {

constexpr int64_t kFullLines = 10000;
// A note that brings a full list of kFullLines lines to about 2 MB.
const std::string kLongNote(150, 'n');

struct ConfigOnDisk {
    ConfigOnDisk(int64_t lineCount, const std::string& note) {
        LoadConfig(path, record, controls);
        for (int64_t j = 0; j < lineCount; ++j)
            controls.txLines.push_back("18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; line " +
                                       std::to_string(j) + note);
        SaveConfig(path, record, controls);
    }
    QTemporaryDir folder;
    std::string path = folder.filePath("BRANNOX.INI").toStdString();
    ConfigRecord record;
    FakeConfigControls controls;
};

// The value of a "Vm..." line of /proc/self/status, in bytes.
int64_t StatusBytes(const std::string& name) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ":", 0) == 0) return std::stoll(line.substr(name.size() + 1)) * 1024;
    return 0;
}

// Measures the peak resident memory of what runs while it lives, as a counter of `state`.
class PeakMemory {
  public:
    explicit PeakMemory(benchmark::State& state) : state_(state) {
        // Freed memory goes back to the system and large blocks are always mapped afresh, so
        // that a block reused from an earlier run does not hide from the peak.
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
        before_ = StatusBytes("VmRSS");
    }
    ~PeakMemory() {
        state_.counters["peak_MB"] =
            static_cast<double>(StatusBytes("VmHWM") - before_) / (1024.0 * 1024.0);
    }

  private:
    benchmark::State& state_;
    int64_t before_ = 0;
};

void BM_LoadConfig(benchmark::State& state) {
    const ConfigOnDisk disk(state.range(0), "");
    for (auto _ : state) {
        ConfigRecord record;
        FakeConfigControls controls;
        LoadConfig(disk.path, record, controls);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_LoadConfig)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SaveConfig(benchmark::State& state) {
    ConfigOnDisk disk(state.range(0), "");
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveConfig(disk.path, disk.record, disk.controls));
}
BENCHMARK(BM_SaveConfig)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

QByteArray ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void SetFileBytes(benchmark::State& state, const std::string& path) {
    state.counters["file_MB"] =
        static_cast<double>(QFile(QString::fromStdString(path)).size()) / (1024.0 * 1024.0);
}

void BM_FullConfigLoad(benchmark::State& state) {
    const ConfigOnDisk disk(kFullLines, kLongNote);
    SetFileBytes(state, disk.path);
    const PeakMemory peak(state);
    for (auto _ : state) {
        ConfigRecord record;
        FakeConfigControls controls;
        LoadConfig(disk.path, record, controls);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_FullConfigLoad)->Unit(benchmark::kMillisecond);

void BM_FullConfigPlainRead(benchmark::State& state) {
    const ConfigOnDisk disk(kFullLines, kLongNote);
    SetFileBytes(state, disk.path);
    const PeakMemory peak(state);
    for (auto _ : state) benchmark::DoNotOptimize(ReadAll(disk.path).data());
}
BENCHMARK(BM_FullConfigPlainRead)->Unit(benchmark::kMillisecond);

void BM_FullConfigSave(benchmark::State& state) {
    ConfigOnDisk disk(kFullLines, kLongNote);
    SetFileBytes(state, disk.path);
    const PeakMemory peak(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveConfig(disk.path, disk.record, disk.controls));
}
BENCHMARK(BM_FullConfigSave)->Unit(benchmark::kMillisecond);

void BM_FullConfigPlainWrite(benchmark::State& state) {
    const ConfigOnDisk disk(kFullLines, kLongNote);
    SetFileBytes(state, disk.path);
    const QByteArray bytes = ReadAll(disk.path);
    const QString copy = disk.folder.filePath("copy.ini");
    const PeakMemory peak(state);
    for (auto _ : state) {
        QFile file(copy);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        benchmark::DoNotOptimize(file.write(bytes));
    }
}
BENCHMARK(BM_FullConfigPlainWrite)->Unit(benchmark::kMillisecond);

// The same bytes through the temporary file and rename that every save uses.
void BM_FullConfigReplaceFile(benchmark::State& state) {
    const ConfigOnDisk disk(kFullLines, kLongNote);
    SetFileBytes(state, disk.path);
    const QByteArray bytes = ReadAll(disk.path);
    const std::string copy = disk.folder.filePath("copy.ini").toStdString();
    const PeakMemory peak(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReplaceFileContents(
            copy, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}
BENCHMARK(BM_FullConfigReplaceFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
