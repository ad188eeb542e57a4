#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/config_record.h"
#include "link/frame.h"
#include "link/posix_serial_port_device.h"
#include "link/serial.h"
#include "session/device_commands.h"
#include "session/handle_can.h"
#include "session/session_host.h"
#include "support/recording_user_messages.h"

// The PC's side as the program builds it, over a real serial port: PosixSerialPortDevice, Serial,
// the receive Frame and HandleCAN, with a main window that only records what it is shown.
class PcSession : public SessionHost {
  public:
    PcSession();
    ~PcSession() override;

    // Opens `port` as Connect does and runs the handshake; false when the port did not open.
    bool Connect(const std::string& port);
    // Lets the event loop run until `done` or `timeoutMs` passes; the last result of `done`.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs);
    void RunFor(int milliseconds);
    const FrameStore& store() const { return session.frames(); }

    Serial* CurrentSerial() override { return link.get(); }
    void ShowFrame(const CANBuffer*) override {}
    void ShowSentFrame(const CANBuffer&) override {}
    void AddLogLine(const std::string& line) override { logLines.push_back(line); }
    void UpdateControls() override {}
    void DisconnectClick() override;

    ConfigRecord config;
    RecordingUserMessages messages;
    std::vector<std::string> logLines;
    std::vector<SerialPortDevice::ErrorKind> portErrors;
    int disconnects = 0;

    PosixSerialPortDevice device;
    std::unique_ptr<Serial> link;
    Frame assembler{kLetterIdentified, 1};
    HandleCAN session{*this, messages, config};
};
