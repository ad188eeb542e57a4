#pragma once

#include <gtest/gtest.h>

#include <QtGlobal>
#include <cstdint>
#include <string>
#include <vector>

#include "common/ticks.h"
#include "config/config_record.h"
#include "link/frame.h"
#include "session/device_commands.h"
#include "session/handle_can.h"
#include "support/fake_serial_port_device.h"
#include "support/fake_session_host.h"
#include "support/recording_user_messages.h"

// A fake port that also notes when each write happened, so tests can check the waits
// between the bytes the session puts on the line.
class WriteTimingDevice : public FakeSerialPortDevice {
  public:
    struct TimedWrite {
        uint64_t tick;
        std::vector<uint8_t> bytes;
    };
    void Write(const uint8_t* data, int size) override {
        writes.push_back({TickCount(), std::vector<uint8_t>(data, data + size)});
        FakeSerialPortDevice::Write(data, size);
    }
    std::vector<TimedWrite> writes;
};

// One packet the session wrote.
struct SentPacket {
    uint8_t command;
    std::vector<uint8_t> payload;
    bool operator==(const SentPacket&) const = default;
};
void PrintTo(const SentPacket& packet, std::ostream* out);

// A session with its main window, user and link faked; the settings are those of a fresh
// configuration with the values the device examples use.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest();
    ~SessionTest() override;

    // Delivers bytes from the device as the receive handler does: through the assembler, each
    // completed packet to Dispatch before the next byte.
    void ReceiveBytes(const std::vector<uint8_t>& wire);
    void Receive(uint8_t letter, const std::vector<uint8_t>& payload = {});
    // Connected over an open link by a 'Z', without the handshake's waits; forgets what the
    // connect sent.
    void Connect();
    // The packets written since the last call, decoded.
    std::vector<SentPacket> TakeSentPackets();

    ConfigRecord config;
    WriteTimingDevice device;
    FakeSessionHost host{device};
    RecordingUserMessages messages;
    HandleCAN session{host, messages, config};
    Frame assembler{kLetterIdentified, 1};
    // Everything Qt reported while the test ran; the session should give it no cause.
    static std::vector<std::string> qtMessages;

  private:
    QtMessageHandler previousHandler_;
};
