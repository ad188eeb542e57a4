#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/user_messages.h"
#include "config/config_record.h"
#include "link/frame.h"
#include "link/posix_serial_port_device.h"
#include "link/serial.h"
#include "session/device_commands.h"
#include "session/handle_can.h"
#include "session/session_host.h"

// The device session of a command-line program: the link on a named port or on the port Auto
// Detect would find, the handshake and setup from `config` (bus rate, loopback, listen-only,
// filters), received frames handed on one by one, and the window's Disconnect at the end.
// Everything runs on the Qt event loop of the caller; nothing is shown in a window.
class ToolSession : public SessionHost, private WindowlessUserMessages {
  public:
    ToolSession(ConfigRecord& config, bool brief);
    ~ToolSession() override;

    // Opens `port` (or, when empty, the first port of the enumeration that answers as in Auto
    // Detect) at `serialRate` and waits for the handshake. False with `error` in one line.
    bool Connect(const std::string& port, int serialRate, std::string& error);
    // The window's Disconnect: the device is reset and the link closed. Nothing without a link.
    void Disconnect();
    HandleCAN& session() { return session_; }
    const std::string& portName() const { return portName_; }

    // Runs the event loop until `done`, a stop signal (see stop_signals.h) or `timeoutMs`
    // (< 0: no limit); the last `done`.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = -1);

    // Every received frame, in order; its `sequence` counts from 0 for the whole session.
    std::function<void(const CANBuffer&)> onFrame;
    // After the frames of one delivery from the port (a few milliseconds' worth at most).
    std::function<void()> onDelivered;
    // Set when the session ended by itself (no answer, no acknowledgement, port lost): why.
    std::string failure;

    // SessionHost
    Serial* CurrentSerial() override { return link_.get(); }
    void ShowFrame(const CANBuffer* record) override;
    void ShowSentFrame(const CANBuffer&) override {}
    void AddLogLine(const std::string&) override {}
    void UpdateControls() override {}
    void DisconnectClick() override;

  private:
    // The session's boxes are not shown; the reason is taken from the state instead.
    bool OpenNamed(const std::string& name, int serialRate, std::string& error);

    ConfigRecord& config_;
    std::string portName_;
    uint32_t received_ = 0;
    PosixSerialPortDevice device_;
    std::unique_ptr<Serial> link_;
    Frame assembler_{kLetterIdentified, 1};
    HandleCAN session_{*this, *this, config_};
};
