#include "vehicle_trace.h"

#include <array>
#include <random>

namespace {

struct Message {
    uint32_t id;
    bool extended;
    uint8_t dlc;
    uint32_t periodTicks;
};

// Engine, brakes, steering, body and J1939 engine and transmission messages.
constexpr std::array<Message, 12> kMessages = {{
    {0x0C9, false, 8, 20000},
    {0x0F1, false, 4, 20000},
    {0x1A0, false, 8, 40000},
    {0x1E5, false, 7, 20000},
    {0x2B0, false, 6, 100000},
    {0x3C1, false, 3, 200000},
    {0x4F0, false, 8, 1000000},
    {0x7DF, false, 8, 2000000},
    {0x0CF00400, true, 8, 20000},
    {0x18FEF100, true, 8, 200000},
    {0x18F00503, true, 8, 100000},
    {0x18FEEE00, true, 8, 2000000},
}};

}  // namespace

FrameStore VehicleTrace(size_t frameCount) {
    std::mt19937 random(17);
    std::array<uint32_t, kMessages.size()> due{};
    for (size_t i = 0; i < due.size(); ++i) due[i] = 1001 + static_cast<uint32_t>(i) * 377;
    FrameStore store;
    uint8_t counter = 0;
    while (store.Size() < frameCount) {
        size_t next = 0;
        for (size_t i = 1; i < due.size(); ++i)
            if (due[i] < due[next]) next = i;
        const Message& message = kMessages[next];
        const uint32_t jitter = random() % 97;  // bus arbitration: odd ticks too
        std::array<uint8_t, 8> data{};
        for (uint8_t& byte : data) byte = static_cast<uint8_t>(random());
        data[0] = counter++;
        CANBuffer frame(message.id, false, message.extended, message.dlc, data.data(),
                        due[next] + jitter);
        const size_t index = store.Size();
        if (index % 997 == 500)
            frame = CANBuffer(message.id, true, message.extended, 0, nullptr, due[next] + jitter);
        if (index % 1009 == 700) {  // brief mode: only the identifier arrived
            frame.brief = 1;
            frame.dlc = 0;
        }
        if (index % 1499 == 900) frame.dlc = 13;  // a length above 8 as the device sent it
        store.Append(frame);
        due[next] += message.periodTicks;
    }
    return store;
}
