// Any byte stream from the device, read by the receive handler of a connected session: through
// the serial link and the receive assembler into Dispatch and the frame store.

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "config/config_record.h"
#include "fuzz_check.h"
#include "link/frame.h"
#include "session/device_commands.h"
#include "session/handle_can.h"
#include "support/fake_serial_port_device.h"
#include "support/fake_session_host.h"
#include "support/recording_user_messages.h"

namespace {

// The assembler stays inside its payload, and while it collects one the bytes received and
// the bytes still expected add up to the length.
void CheckAssembler(const Frame& assembler) {
    FUZZ_CHECK(assembler.index >= 0 && assembler.index <= 255);
    FUZZ_CHECK(assembler.stage >= 0 && assembler.stage <= 2);
    if (assembler.inPacket && assembler.stage == 2)
        FUZZ_CHECK(assembler.index + assembler.count == assembler.length);
}

// A completed packet holds nothing beyond its length, whatever came before it.
void CheckCompletedPacket(const Frame& packet) {
    CheckAssembler(packet);
    FUZZ_CHECK(std::all_of(packet.payload.begin() + packet.length, packet.payload.end(),
                           [](uint8_t byte) { return byte == 0; }));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The session's response timers need an application object.
    static int argc = 1;
    static char name[] = "receive_fuzzer";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakeSerialPortDevice device;
    FakeSessionHost host(device);
    RecordingUserMessages messages;
    ConfigRecord config;
    HandleCAN session(host, messages, config);
    host.session = &session;
    host.OpenLink();
    Frame assembler(kLetterIdentified, 1);

    bool acknowledged = false;
    const auto dispatch = [&](Frame& packet) {
        CheckCompletedPacket(packet);
        acknowledged = acknowledged || packet.command == kLetterAcknowledge;
        session.Dispatch(packet);
    };

    // Connected by the device's answer, with one sent frame awaiting its acknowledgement.
    device.Feed(Frame(kLetterIdentified, 0).Encode());
    ComReceive(assembler, host.CurrentSerial(), device.InputCount(), dispatch);
    FUZZ_CHECK(session.connected);
    session.TransmitFrame(CANBuffer(0x123, false, false, 0, nullptr), true);
    FUZZ_CHECK(session.PendingTimers() == 1);

    device.Feed(std::vector<uint8_t>(data, data + size));
    ComReceive(assembler, host.CurrentSerial(), static_cast<int>(size), dispatch);
    CheckAssembler(assembler);
    FUZZ_CHECK(device.input.empty());

    // Every stored frame was shown once, in order, and each needed a start byte of its own.
    const FrameStore& store = session.frames();
    FUZZ_CHECK(store.Size() == session.count);
    FUZZ_CHECK(host.shownFrames.size() == store.Size());
    FUZZ_CHECK(store.Size() <= static_cast<size_t>(std::count(data, data + size, Frame::kStart)));
    for (size_t i = 0; i < store.Size(); ++i) {
        FUZZ_CHECK(host.shownFrames[i] == &store[i]);
        FUZZ_CHECK(store[i].sequence == i);
        FUZZ_CHECK(store[i].brief <= 1);
    }
    FUZZ_CHECK(session.head() == (store.Empty() ? nullptr : &store[store.Size() - 1]));

    FUZZ_CHECK(session.PendingTimers() == (acknowledged ? 0u : 1u));
    FUZZ_CHECK(session.connected);
    FUZZ_CHECK(messages.boxes.empty());
    FUZZ_CHECK(host.disconnectClicks == 0);
    return 0;
}
