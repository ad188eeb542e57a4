// How many received 'F' frames per second the engine turns into stored records, from the
// bytes the serial component hands over to the frame store, with a main window that does
// nothing. A saturated 1 Mbit/s bus carries about 21,000 frames a second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_record.h"
#include "link/frame.h"
#include "link/serial.h"
#include "session/frame_store.h"
#include "session/handle_can.h"
#include "session/session_host.h"
#include "support/fake_serial_port_device.h"
#include "support/recording_user_messages.h"
#include "views/bus_load_meter.h"
#include "views/identifier_stats.h"

namespace {

class IdleHost : public SessionHost {
  public:
    Serial* CurrentSerial() override { return nullptr; }
    void ShowFrame(const CANBuffer*) override {}
    void ShowSentFrame(const CANBuffer&) override {}
    void AddLogLine(const std::string&) override {}
    void UpdateControls() override {}
    void DisconnectClick() override {}
};

constexpr int kFramesPerBatch = 1000;

// 'F' packets as the device sends them: 18 payload bytes, extended identifiers, eight data
// bytes, a running timestamp; some bytes need escaping, as on a real bus.
std::vector<uint8_t> FramePackets(int frames) {
    std::vector<uint8_t> wire;
    for (int n = 0; n < frames; ++n) {
        const uint32_t id = 0x18EF0000u + static_cast<uint32_t>(n);
        const uint32_t ticks = static_cast<uint32_t>(n) * 1000u;
        const uint8_t payload[18] = {
            0x00,
            static_cast<uint8_t>(id >> 21),
            static_cast<uint8_t>(0x08 | ((id >> 13) & 0xE0) | ((id >> 16) & 0x03)),
            static_cast<uint8_t>(id >> 8),
            static_cast<uint8_t>(id),
            8,
            static_cast<uint8_t>(n),
            0x55,
            0x1B,
            3,
            4,
            5,
            6,
            7,
            static_cast<uint8_t>(ticks),
            static_cast<uint8_t>(ticks >> 8),
            static_cast<uint8_t>(ticks >> 16),
            static_cast<uint8_t>(ticks >> 24)};
        const std::vector<uint8_t> packet = Frame('F', sizeof payload, payload).Encode();
        wire.insert(wire.end(), packet.begin(), packet.end());
    }
    return wire;
}

// A connected session whose store is emptied before a batch would reach the limit, so that
// every frame takes the storing path.
struct ConnectedSession {
    ConnectedSession() {
        Frame connect('Z', 0);
        session.Dispatch(connect);
    }
    void MakeRoomFor(int frames) {
        if (session.count + static_cast<uint32_t>(frames) > FrameStore::kLimit)
            session.ClearFrames();
    }
    IdleHost host;
    RecordingUserMessages messages;  // the receive path asks nothing
    ConfigRecord config;
    HandleCAN session{host, messages, config};
};

void ReportFrames(benchmark::State& state, size_t wireBytes, int framesPerBatch = kFramesPerBatch) {
    const double frames = static_cast<double>(state.iterations()) * framesPerBatch;
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    if (wireBytes != 0)
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * wireBytes));
}

// The whole path, as the receive handler runs it: the link's byte reads, the assembler,
// Dispatch and StoreFrame.
void BM_ReceiveByteToStore(benchmark::State& state) {
    const std::vector<uint8_t> wire = FramePackets(kFramesPerBatch);
    FakeSerialPortDevice device;
    Serial link(device, "COM1", 1, 115200, 4096, 4096, 'N', 8, 1, 0);
    ConnectedSession s;
    Frame assembler('Z', 1);
    for (auto _ : state) {
        s.MakeRoomFor(kFramesPerBatch);
        device.Feed(wire);
        ComReceive(assembler, &link, static_cast<int>(wire.size()),
                   [&s](Frame& packet) { s.session.Dispatch(packet); });
    }
    ReportFrames(state, wire.size());
}
BENCHMARK(BM_ReceiveByteToStore);

// The reference for the whole path: a plain loop over the same bytes that counts the start
// bytes, as little as any receive path has to do with each byte.
void BM_ScanBytesReference(benchmark::State& state) {
    const std::vector<uint8_t> wire = FramePackets(kFramesPerBatch);
    for (auto _ : state) {
        int starts = 0;
        for (uint8_t byte : wire) starts += byte == Frame::kStart ? 1 : 0;
        benchmark::DoNotOptimize(starts);
    }
    ReportFrames(state, wire.size());
}
BENCHMARK(BM_ScanBytesReference);

// The same without the link: bytes straight into the assembler, then Dispatch and StoreFrame.
void BM_AcceptToStore(benchmark::State& state) {
    const std::vector<uint8_t> wire = FramePackets(kFramesPerBatch);
    ConnectedSession s;
    Frame assembler('Z', 1);
    for (auto _ : state) {
        s.MakeRoomFor(kFramesPerBatch);
        for (uint8_t byte : wire)
            if (assembler.Accept(byte)) s.session.Dispatch(assembler);
    }
    ReportFrames(state, wire.size());
}
BENCHMARK(BM_AcceptToStore);

// The assembler alone.
void BM_AcceptOnly(benchmark::State& state) {
    const std::vector<uint8_t> wire = FramePackets(kFramesPerBatch);
    Frame assembler('Z', 1);
    for (auto _ : state) {
        int packets = 0;
        for (uint8_t byte : wire) packets += assembler.Accept(byte) ? 1 : 0;
        benchmark::DoNotOptimize(packets);
    }
    ReportFrames(state, wire.size());
}
BENCHMARK(BM_AcceptOnly);

// What the window's views add to each received frame, beside what storing it costs: 2000
// distinct identifiers in turn, the packets already assembled.
constexpr int kDistinctIds = 2000;

std::vector<Frame> AssembledPackets() {
    std::vector<Frame> packets;
    Frame assembler('Z', 1);
    for (uint8_t byte : FramePackets(kDistinctIds))
        if (assembler.Accept(byte)) packets.push_back(assembler);
    return packets;
}

std::vector<CANBuffer> StoredRecords() {
    ConnectedSession s;
    for (Frame& packet : AssembledPackets()) s.session.Dispatch(packet);
    return {s.session.frames().begin(), s.session.frames().end()};
}

// The reference: Dispatch and StoreFrame of an assembled packet.
void BM_DispatchToStore2000Ids(benchmark::State& state) {
    std::vector<Frame> packets = AssembledPackets();
    ConnectedSession s;
    for (auto _ : state) {
        s.MakeRoomFor(kDistinctIds);
        for (Frame& packet : packets) s.session.Dispatch(packet);
    }
    ReportFrames(state, 0, kDistinctIds);
}
BENCHMARK(BM_DispatchToStore2000Ids);

// Runs `count(record, ms)` for each of the 2000 stored records, a millisecond per batch.
template <typename Count>
void EachStoredRecord(benchmark::State& state, Count&& count) {
    const std::vector<CANBuffer> records = StoredRecords();
    uint64_t ms = 0;
    for (auto _ : state) {
        for (const CANBuffer& record : records) count(record, ms);
        ++ms;
    }
    ReportFrames(state, 0, kDistinctIds);
}

// The per-identifier statistics of Frames by Identifier.
void BM_IdentifierStatsAdd2000Ids(benchmark::State& state) {
    IdentifierStats stats;
    EachStoredRecord(state, [&](const CANBuffer& record, uint64_t ms) { stats.Add(record, ms); });
    benchmark::DoNotOptimize(stats.Rows().data());
}
BENCHMARK(BM_IdentifierStatsAdd2000Ids);

// The status bar's bus load.
void BM_BusLoadCount(benchmark::State& state) {
    BusLoadMeter meter;
    EachStoredRecord(state,
                     [&](const CANBuffer& record, uint64_t ms) { meter.Count(record, false, ms); });
    benchmark::DoNotOptimize(meter.Measure(0, 1000000).loadPercent);
}
BENCHMARK(BM_BusLoadCount);

}  // namespace

BENCHMARK_MAIN();
