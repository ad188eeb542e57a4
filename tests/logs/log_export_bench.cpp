// Saving a full frame store in each log format, and the formatting of the lines alone.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QTemporaryDir>

#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/log_file.h"
#include "logs/pcapng_log.h"
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
        case 3:
            return PcapngLogFormat();
        default:
            return CsvLogFormat();
    }
}

// Argument: 0 comma-separated, 1 candump, 2 Vector ASC, 3 pcapng.
void BM_SaveFullStore(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("log").toStdString();
    const LogFormat format = FormatNumbered(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(SaveFrameLog(FullStore(), path, format));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FullStore().Size()));
}
BENCHMARK(BM_SaveFullStore)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_FormatFullStore(benchmark::State& state) {
    const LogLineFormat line = FormatNumbered(state.range(0)).line;
    std::string text;
    for (auto _ : state) {
        for (const CANBuffer& record : FullStore()) {
            text.clear();
            line(text, record);
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FullStore().Size()));
}
BENCHMARK(BM_FormatFullStore)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
