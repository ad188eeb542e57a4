#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "link/frame.h"
#include "session/frame_store.h"
#include "session_fixture.h"

namespace {

using RandomInputTest = SessionTest;

// Bytes that steer the assembler and the session: start, escape and the letters it acts on.
constexpr uint8_t kInteresting[] = {0x55, 0x1B, 'F', 'H', 'Z', 'K', 0x9B, 0xD5, 0x00, 0x12};

// A stream that mixes well-formed packets of every length with noise rich in the bytes above,
// so that packets are cut, restarted, mis-escaped and short.
std::vector<uint8_t> RandomStream(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    auto below = [&rng](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
    std::vector<uint8_t> stream;
    stream.reserve(size + 600);
    std::vector<uint8_t> payload;
    while (stream.size() < size) {
        if (below(4) != 0) {
            const uint8_t letters[] = {'F', 'F', 'F', 'H', 'H', 'Z', 'K', 'Q'};
            const uint32_t length = below(8) != 0 ? 18 + below(2) : below(256);
            payload.resize(length);
            for (uint8_t& b : payload)
                b = below(4) == 0 ? kInteresting[below(10)] : static_cast<uint8_t>(rng());
            const Frame packet(letters[below(8)], static_cast<uint8_t>(length), payload.data());
            const std::vector<uint8_t> wire = packet.Encode();
            stream.insert(stream.end(), wire.begin(), wire.end());
        }
        for (uint32_t n = below(8); n > 0; --n)
            stream.push_back(below(2) == 0 ? kInteresting[below(10)] : static_cast<uint8_t>(rng()));
    }
    return stream;
}

TEST_F(RandomInputTest, AnyByteStreamLeavesTheStoreConsistent) {
    Receive('Z');  // connected, with no link to write to
    ASSERT_TRUE(session.connected);

    ReceiveBytes(RandomStream(5'000'000, 20240611));

    const FrameStore& store = session.frames();
    EXPECT_GT(session.count, FrameStore::kLimit);  // the stream reached past the limit
    ASSERT_EQ(store.Size(), std::min<size_t>(session.count, FrameStore::kLimit));
    for (size_t i = 0; i < store.Size(); ++i) ASSERT_EQ(store[i].sequence, i);
    EXPECT_EQ(session.head(), &store[store.Size() - 1]);
    EXPECT_EQ(std::count(host.shownFrames.begin(), host.shownFrames.end(), nullptr), 1);
    EXPECT_EQ(host.shownFrames.size(), store.Size() + 1);
}

}  // namespace
