// Loading and saving the configuration file with a transmit list of state.range(0) lines.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "config/config_file.h"
#include "config/config_record.h"
#include "config/fake_config_controls.h"

namespace {

struct ConfigOnDisk {
    explicit ConfigOnDisk(int64_t lineCount) {
        LoadConfig(path, record, controls);
        for (int64_t j = 0; j < lineCount; ++j)
            controls.txLines.push_back("18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; line " +
                                       std::to_string(j));
        SaveConfig(path, record, controls);
    }
    QTemporaryDir folder;
    std::string path = folder.filePath("BRANNOX.INI").toStdString();
    ConfigRecord record;
    FakeConfigControls controls;
};

void BM_LoadConfig(benchmark::State& state) {
    const ConfigOnDisk disk(state.range(0));
    for (auto _ : state) {
        ConfigRecord record;
        FakeConfigControls controls;
        LoadConfig(disk.path, record, controls);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_LoadConfig)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SaveConfig(benchmark::State& state) {
    ConfigOnDisk disk(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveConfig(disk.path, disk.record, disk.controls));
}
BENCHMARK(BM_SaveConfig)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
