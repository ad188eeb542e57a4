#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/serial.h"
#include "session/can_buffer.h"
#include "session/handle_can.h"
#include "session/session_host.h"
#include "support/fake_serial_port_device.h"

// The main window as the device session sees it: records every call, and owns the link over
// a FakeSerialPortDevice. DisconnectClick behaves like the real command: it resets the
// session and drops the link, and does nothing while no link is open.
class FakeSessionHost : public SessionHost {
  public:
    explicit FakeSessionHost(FakeSerialPortDevice& device_) : device(device_) {}

    // Opens a link over the fake device, as Connect does before it calls Identify().
    void OpenLink() {
        link = std::make_unique<Serial>(device, "COM1", 1, 115200, 4096, 4096, 'N', 8, 1, 0);
    }

    Serial* CurrentSerial() override { return link.get(); }
    void ShowFrame(const CANBuffer* record) override {
        shownFrames.push_back(record);
        if (record == nullptr && whileLimitShown) whileLimitShown();
    }
    void ShowSentFrame(const CANBuffer& record) override { sentFrames.push_back(record); }
    void AddLogLine(const std::string& line) override { logLines.push_back(line); }
    void UpdateControls() override { ++updateControlsCalls; }
    void DisconnectClick() override {
        ++disconnectClicks;
        if (!link) return;
        if (session != nullptr) session->Reset();
        link.reset();
    }

    FakeSerialPortDevice& device;
    HandleCAN* session = nullptr;  // set once the session exists
    std::unique_ptr<Serial> link;
    std::vector<const CANBuffer*> shownFrames;  // null for the store-limit call
    // Runs inside the store-limit call, as the event loop of the window's box does.
    std::function<void()> whileLimitShown;
    std::vector<CANBuffer> sentFrames;
    std::vector<std::string> logLines;
    int updateControlsCalls = 0;
    int disconnectClicks = 0;
};
