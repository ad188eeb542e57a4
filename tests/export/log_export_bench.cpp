// Saving a full frame store as a comma-separated log, and the formatting alone.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "export/csv_log.h"
#include "export/log_file.h"
#include "session/frame_store.h"

namespace {

const FrameStore& FullStore() {
    static const FrameStore store = [] {
        FrameStore full;
        for (uint32_t i = 0; i < FrameStore::kLimit; ++i) {
            const uint8_t data[8] = {uint8_t(i), uint8_t(i >> 8), 0x55, 0xAA, 1, 2, 3, 4};
            full.Append(
                CANBuffer(0x18EF0000 + (i & 0xFFFF), false, true, uint8_t(i % 9), data, i * 977u));
        }
        return full;
    }();
    return store;
}

void BM_SaveFullStore(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("log.CSV").toStdString();
    for (auto _ : state) benchmark::DoNotOptimize(SaveFrameLog(FullStore(), path, LogLine));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FullStore().Size()));
}
BENCHMARK(BM_SaveFullStore)->Unit(benchmark::kMillisecond);

void BM_FormatFullStore(benchmark::State& state) {
    for (auto _ : state)
        for (const CANBuffer& record : FullStore()) benchmark::DoNotOptimize(LogLine(record));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FullStore().Size()));
}
BENCHMARK(BM_FormatFullStore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
