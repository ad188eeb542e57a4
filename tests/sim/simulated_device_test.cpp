#include "simulated_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/frame.h"
#include "packet_trace.h"
#include "traffic_generator.h"

namespace {

struct Packet {
    uint8_t letter;
    std::vector<uint8_t> payload;
};

class SimulatedDeviceTest : public ::testing::Test {
  protected:
    static GeneratorSettings Traffic(uint32_t rate, std::vector<CanId> ids) {
        GeneratorSettings settings;
        settings.rate = rate;
        settings.ids = std::move(ids);
        settings.dlcMix = {2};
        return settings;
    }
    static GeneratorSettings Traffic(uint32_t rate) {
        return Traffic(rate, {{0x123, false}, {0x18EF2000, true}});
    }

    void Start(DeviceSettings settings = {}, GeneratorSettings traffic = Traffic(1000)) {
        powerOn = now;
        device =
            std::make_unique<SimulatedDevice>(settings, std::make_unique<TrafficGenerator>(traffic),
                                              OutputFaults(0, 0, 1), nullptr, now);
    }

    void Send(uint8_t letter, const std::vector<uint8_t>& payload) {
        const std::vector<uint8_t> wire =
            Frame(letter, static_cast<uint8_t>(payload.size()), payload.data()).Encode();
        device->Receive(wire.data(), wire.size(), now);
    }
    void SendBytes(const std::vector<uint8_t>& bytes) {
        device->Receive(bytes.data(), bytes.size(), now);
    }
    // The PC's handshake: 'Y', then its setup, which ends with 'C'.
    void Identify() {
        Send('Y', {});
        Send('C', {0x01});
        TakePackets();
    }
    void AdvanceMs(uint64_t ms) {
        now += ms * 1000;
        device->Advance(now);
    }

    // Everything the device has written, as the PC's assembler reads it.
    std::vector<Packet> TakePackets() {
        std::vector<Packet> packets;
        Frame assembler(0, 0);
        for (size_t i = 0; i < device->OutputSize(); ++i) {
            if (assembler.Accept(device->Output()[i]))
                packets.push_back(
                    {assembler.command,
                     std::vector<uint8_t>(assembler.payload.begin(),
                                          assembler.payload.begin() + assembler.length)});
        }
        device->ConsumeOutput(device->OutputSize());
        return packets;
    }

    static CANBuffer Received(const Packet& packet) {
        uint8_t bytes[CANBufferPIC::kSize] = {};
        std::copy(packet.payload.begin(), packet.payload.end(), bytes);
        return FromPIC(CANBufferPIC::FromBytes(bytes));
    }

    uint64_t now = 5'000'000;
    uint64_t powerOn = 0;
    std::unique_ptr<SimulatedDevice> device;
};

}  // namespace

TEST_F(SimulatedDeviceTest, IdentifySetupFiltersDisplayAndReset) {
    Start();
    Send('Y', {});
    EXPECT_EQ(std::vector<uint8_t>(device->Output(), device->Output() + device->OutputSize()),
              (std::vector<uint8_t>{0x55, 0x5A, 0x00}));
    TakePackets();

    Send('B', {0x90, 0xD0, 0x03, 0x00, 0x00, 0x01, 0x01});
    EXPECT_EQ(device->setup().rate, 250000u);
    EXPECT_FALSE(device->setup().loopback);
    EXPECT_TRUE(device->setup().listenOnly);
    EXPECT_TRUE(device->setup().brief);
    Send('A', {0x00, 0x00, 0x23, 0x01, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00});
    EXPECT_EQ(device->filter().slot(0).id, 0x123u);
    EXPECT_EQ(device->filter().slot(0).mask, 0x7FFu);
    EXPECT_FALSE(device->filter().slot(0).extended);
    Send('C', {0x00});
    EXPECT_FALSE(device->displayOn());

    // Too short, or a slot that does not exist: ignored and counted.
    Send('B', {0x01, 0x02});
    Send('A', {0x06, 0x01, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(device->Counters().malformedPackets, 2u);
    EXPECT_EQ(device->setup().rate, 250000u);

    // The unframed reset, straight followed by an identify in the same read.
    SendBytes({0x55, 0x52, 0x55, 0x59, 0x00});
    EXPECT_FALSE(device->setup().listenOnly);
    EXPECT_FALSE(device->setup().brief);
    EXPECT_TRUE(device->displayOn());
    EXPECT_EQ(device->filter().slot(0).mask, 0u);
    ASSERT_EQ(TakePackets().size(), 1u);

    const DeviceCounters counters = device->Counters();
    EXPECT_EQ(counters.packetsByCommand.at('R'), 1u);
    EXPECT_EQ(counters.packetsByCommand.at('Y'), 2u);
    EXPECT_EQ(counters.packetsByCommand.at('A'), 2u);
}

TEST_F(SimulatedDeviceTest, ASilentDeviceNeverAnswers) {
    DeviceSettings settings;
    settings.silent = true;
    Start(settings);
    Send('Y', {});
    AdvanceMs(100);
    EXPECT_EQ(device->OutputSize(), 0u);
    EXPECT_FALSE(device->TrafficRunning());
}

TEST_F(SimulatedDeviceTest, TrafficRunsAfterIdentifyAndPausesOnReset) {
    Start();
    AdvanceMs(50);
    EXPECT_EQ(device->OutputSize(), 0u) << "no traffic before the PC identified the device";

    Identify();
    const uint64_t identified = now;
    AdvanceMs(0);
    AdvanceMs(1);
    AdvanceMs(1);
    std::vector<Packet> packets = TakePackets();
    ASSERT_EQ(packets.size(), 3u);
    const uint32_t ids[] = {0x123, 0x18EF2000, 0x123};
    for (size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(packets[i].letter, 'F');
        EXPECT_EQ(packets[i].payload.size(), 18u);
        const CANBuffer frame = Received(packets[i]);
        EXPECT_EQ(frame.id, ids[i]);
        EXPECT_EQ(frame.extended, i == 1);
        EXPECT_EQ(frame.dlc, 2);
        // 0.5 us ticks since power-on; the first frame is due when the setup ended.
        EXPECT_EQ(frame.timestamp, (identified - powerOn) * 2 + i * 2000);
        EXPECT_FALSE(frame.FramesLost());
    }

    SendBytes({0x55, 0x52});
    AdvanceMs(10);
    EXPECT_EQ(TakePackets().size(), 0u);
    // Without the PC's setup the traffic resumes 500 ms after the 'Y'.
    Send('Y', {});
    TakePackets();
    AdvanceMs(499);
    EXPECT_EQ(TakePackets().size(), 0u);
    AdvanceMs(1);
    packets = TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(Received(packets[0]).id, 0x18EF2000u);
    SendBytes({0x55, 0x52});

    // After the next handshake the traffic goes on with the next identifier, stamped on the
    // clock that the reset restarted.
    now += 10000;
    Identify();
    AdvanceMs(0);
    packets = TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(Received(packets[0]).id, 0x123u);
    EXPECT_EQ(Received(packets[0]).timestamp, 10000u * 2);
}

TEST_F(SimulatedDeviceTest, TransmitAcknowledgeLoopbackAndBriefMode) {
    DeviceSettings noAck;
    noAck.noAck = true;
    for (bool acknowledging : {true, false}) {
        Start(acknowledging ? DeviceSettings{} : noAck, Traffic(0));
        Send('G', {0x00, 0x24, 0x60, 0x00, 0x00, 0x02, 0x11, 0x22});
        std::vector<Packet> packets = TakePackets();
        ASSERT_EQ(packets.size(), acknowledging ? 1u : 0u);
        if (acknowledging) {
            EXPECT_EQ(packets[0].letter, 'K');
        }
        EXPECT_EQ(device->Counters().framesToBus, 1u);
    }

    Start({}, Traffic(0));
    Send('B', {0x20, 0xA1, 0x07, 0x00, 0x01, 0x00, 0x00});  // loopback
    now += 1000;
    Send('F', {0x08, 0xFF, 0xE0, 0x00, 0x00, 0x00});  // 0x7FF, response, DLC 0
    Send('G', {0x00, 0xC7, 0x6B, 0x20, 0x00, 0x02, 0x55, 0x1B});
    std::vector<Packet> packets = TakePackets();
    ASSERT_EQ(packets.size(), 3u);
    const CANBuffer first = Received(packets[0]);
    EXPECT_EQ(first.id, 0x7FFu);
    EXPECT_TRUE(first.response);
    EXPECT_EQ(first.timestamp, 2000u);
    EXPECT_EQ(packets[1].letter, 'K');
    const CANBuffer second = Received(packets[2]);
    EXPECT_EQ(second.id, 0x18EF2000u);
    EXPECT_TRUE(second.extended);
    EXPECT_EQ(second.data[0], 0x55);
    EXPECT_EQ(second.data[1], 0x1B);
    EXPECT_EQ(device->Counters().framesToBus, 0u) << "loopback keeps frames off the bus";
    EXPECT_EQ(device->Counters().framesLoopedBack, 2u);

    // Brief mode: 'H' with the control byte, the identifier registers and the DLC.
    Send('B', {0x20, 0xA1, 0x07, 0x00, 0x01, 0x00, 0x01});
    Send('F', {0x00, 0x24, 0x60, 0x00, 0x00, 0x02, 0x11, 0x22});
    packets = TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].letter, 'H');
    EXPECT_EQ(packets[0].payload, (std::vector<uint8_t>{0x00, 0x24, 0x60, 0x00, 0x00, 0x02}));

    // Listen-only sends nothing on the bus but still acknowledges.
    Send('B', {0x20, 0xA1, 0x07, 0x00, 0x00, 0x01, 0x00});
    Send('G', {0x00, 0x24, 0x60, 0x00, 0x00, 0x00});
    packets = TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].letter, 'K');
    EXPECT_EQ(device->Counters().framesToBus, 0u);

    // A frame packet shorter than its DLC says is ignored.
    Send('G', {0x00, 0x24, 0x60, 0x00, 0x00, 0x08, 0x11});
    EXPECT_EQ(TakePackets().size(), 0u);
    EXPECT_EQ(device->Counters().malformedPackets, 1u);
}

TEST_F(SimulatedDeviceTest, FiltersAndLostFramesFlagTheNextFrame) {
    DeviceSettings settings;
    settings.lostEvery = 3;
    Start(settings, Traffic(1000, {{0x123, false}, {0x124, false}}));
    Identify();
    Send('A', {0x00, 0x00, 0x23, 0x01, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00});
    Send('A', {0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F});
    for (int i = 0; i < 8; ++i) AdvanceMs(1);
    // 0x123 passes 4 or 5 times; every third one that passed is lost.
    std::vector<Packet> packets = TakePackets();
    const DeviceCounters counters = device->Counters();
    EXPECT_EQ(counters.framesGenerated, 9u);
    EXPECT_EQ(counters.framesDroppedByFilters, 4u);
    EXPECT_EQ(counters.framesLost, 1u);
    ASSERT_EQ(packets.size(), 4u);
    const bool lostFlags[] = {false, false, true, false};
    for (size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(Received(packets[i]).id, 0x123u);
        EXPECT_EQ(Received(packets[i]).FramesLost(), lostFlags[i]) << i;
    }
}

TEST_F(SimulatedDeviceTest, AFullLineLosesPacedFramesAndHoldsBackUnpacedOnes) {
    DeviceSettings settings;
    settings.outputLimit = 100;  // room for four or five frames
    Start(settings, Traffic(1000));
    Identify();
    AdvanceMs(9);
    const uint64_t lost = device->Counters().framesLost;
    EXPECT_GE(lost, 5u);
    EXPECT_EQ(TakePackets().size(), 10 - lost);
    AdvanceMs(1);
    std::vector<Packet> packets = TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_TRUE(Received(packets[0]).FramesLost());

    // Unpaced traffic fills half the limit, then waits for the line.
    Start(settings, Traffic(0));
    Identify();
    AdvanceMs(0);
    EXPECT_FALSE(device->NextFrameDueUs().has_value());
    const size_t firstBatch = TakePackets().size();
    EXPECT_GE(firstBatch, 2u);
    EXPECT_LE(firstBatch, 3u);
    EXPECT_EQ(device->NextFrameDueUs(), 0u);
    AdvanceMs(0);
    EXPECT_GE(TakePackets().size(), 2u);
    EXPECT_EQ(device->Counters().framesLost, 0u);
}

TEST_F(SimulatedDeviceTest, CountStopsTheTrafficAndHangupFollowsItsFrames) {
    DeviceSettings settings;
    settings.count = 3;
    Start(settings, Traffic(0));
    Identify();
    for (int i = 0; i < 5; ++i) AdvanceMs(1);
    EXPECT_EQ(TakePackets().size(), 3u);
    EXPECT_FALSE(device->NextFrameDueUs().has_value());
    EXPECT_FALSE(device->HangupRequested());

    DeviceSettings hangup;
    hangup.hangupAfter = 2;
    Start(hangup, Traffic(1000));
    Identify();
    AdvanceMs(0);
    EXPECT_FALSE(device->HangupRequested());
    AdvanceMs(5);
    EXPECT_TRUE(device->HangupRequested());
    EXPECT_EQ(TakePackets().size(), 2u);
}

TEST_F(SimulatedDeviceTest, ASharedBusCarriesSentFramesAndDeliversOthersAfterSetup) {
    Start({}, Traffic(1000));
    std::vector<CANBuffer> onBus;
    device->SetBusOutput([&onBus](const CANBuffer& frame) { onBus.push_back(frame); });
    const uint8_t data[] = {0x11, 0x22};
    const CANBuffer fromOther(0x123, false, false, 2, data);
    // Before the PC's setup the device hears nothing, as with its own traffic.
    device->ReceiveFromBus(fromOther, now);
    EXPECT_EQ(device->OutputSize(), 0u);

    DeviceSettings none;
    none.count = 0;  // no traffic of its own: what arrives came over the bus
    Start(none, Traffic(1000));
    device->SetBusOutput([&onBus](const CANBuffer& frame) { onBus.push_back(frame); });
    Identify();
    Send('A', {0x00, 0x00, 0x23, 0x01, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x00});
    Send('A', {0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x1F});
    now += 1500;
    device->ReceiveFromBus(fromOther, now);
    device->ReceiveFromBus(CANBuffer(0x124, false, false, 2, data), now);  // filtered out
    std::vector<Packet> packets = TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(Received(packets[0]).id, 0x123u);
    EXPECT_EQ(Received(packets[0]).timestamp, (now - powerOn) * 2);
    EXPECT_EQ(device->Counters().framesFromBus, 2u);
    EXPECT_EQ(device->Counters().framesDroppedByFilters, 1u);

    // Sent frames go on the bus unless loopback or listen-only keeps them off it.
    Send('G', {0x00, 0x24, 0x60, 0x00, 0x00, 0x02, 0x11, 0x22});
    Send('B', {0x20, 0xA1, 0x07, 0x00, 0x01, 0x00, 0x00});
    Send('G', {0x00, 0x24, 0x60, 0x00, 0x00, 0x00});
    Send('B', {0x20, 0xA1, 0x07, 0x00, 0x00, 0x01, 0x00});
    Send('F', {0x00, 0x24, 0x60, 0x00, 0x00, 0x00});
    ASSERT_EQ(onBus.size(), 1u);
    EXPECT_EQ(onBus[0].id, 0x123u);
    EXPECT_EQ(onBus[0].dlc, 2);
    EXPECT_EQ(onBus[0].data[1], 0x22);
}

TEST(PacketTrace, LinesReadBackAsWritten) {
    const TracedPacket packet{123456789, TracedPacket::kFromPc, 'B', {0x90, 0xD0, 0x03, 0x00}};
    const std::string line = FormatTraceLine(packet);
    EXPECT_EQ(line, "123456789 > B 90D00300");
    TracedPacket read;
    ASSERT_TRUE(ParseTraceLine(line, read));
    EXPECT_EQ(read.timeUs, packet.timeUs);
    EXPECT_EQ(read.direction, '>');
    EXPECT_EQ(read.letter, 'B');
    EXPECT_EQ(read.payload, packet.payload);
    ASSERT_TRUE(ParseTraceLine("5 < Z", read));
    EXPECT_TRUE(read.payload.empty());
    EXPECT_FALSE(ParseTraceLine("x < Z", read));
}
