#include "output_faults.h"

#include <gtest/gtest.h>

#include "link/frame.h"

TEST(OutputFaults, GarbageTakesItsShareAndNeverStartsAPacket) {
    OutputFaults faults(0.25, 0, 3);
    const std::vector<uint8_t> packet = Frame('Z', 0).Encode();
    std::vector<uint8_t> line;
    for (int i = 0; i < 4000; ++i) faults.Append(packet, line);

    // Every packet arrives whole: garbage between packets is ignored by the assembler.
    Frame assembler(0, 0);
    int packets = 0;
    size_t starts = 0;
    for (uint8_t byte : line) {
        if (byte == Frame::kStart) ++starts;
        if (assembler.Accept(byte)) ++packets;
    }
    EXPECT_EQ(packets, 4000);
    EXPECT_EQ(starts, 4000u) << "a garbage byte was 0x55";
    EXPECT_NEAR(static_cast<double>(faults.garbageBytes) / static_cast<double>(line.size()), 0.25,
                0.001);
}

TEST(OutputFaults, DroppedBytesAreCounted) {
    OutputFaults faults(0, 0.1, 3);
    const std::vector<uint8_t> packet(1000, 0x11);
    std::vector<uint8_t> line;
    faults.Append(packet, line);
    EXPECT_EQ(line.size() + faults.droppedBytes, 1000u);
    EXPECT_GT(faults.droppedBytes, 50u);
    EXPECT_LT(faults.droppedBytes, 150u);
}
