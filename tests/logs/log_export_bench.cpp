// Saving a full frame store in each log format, and the formatting of the lines alone.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QTemporaryDir>

#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/log_file.h"
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

LogFormat FormatNumbered(int64_t index) {
    switch (index) {
        case 1:
            return CandumpLogFormat();
        case 2:
            return AscLogFormat(QDateTime::currentDateTime());
        default:
            return CsvLogFormat();
    }
}

// Argument: 0 comma-separated, 1 candump, 2 Vector ASC.
void BM_SaveFullStore(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("log").toStdString();
    const LogFormat format = FormatNumbered(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(SaveFrameLog(FullStore(), path, format));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FullStore().Size()));
}
BENCHMARK(BM_SaveFullStore)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_FormatFullStore(benchmark::State& state) {
    const LogLineFormat line = FormatNumbered(state.range(0)).line;
    for (auto _ : state)
        for (const CANBuffer& record : FullStore()) benchmark::DoNotOptimize(line(record));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FullStore().Size()));
}
BENCHMARK(BM_FormatFullStore)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
