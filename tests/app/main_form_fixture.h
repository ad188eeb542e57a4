#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "config/config_record.h"
#include "support/fake_serial_port_device.h"
#include "support/recording_user_messages.h"

// A fake port that answers Auto Detect's identify packet with 55 5A on the ports named in
// `answering`, and cannot open the ports named in `failing`.
class DetectableDevice : public FakeSerialPortDevice {
  public:
    bool Open() override;
    void Write(const uint8_t* data, int size) override;

    std::set<std::string> answering;
    std::set<std::string> failing;
};

// One packet the window wrote.
struct SentPacket {
    uint8_t command;
    std::vector<uint8_t> payload;
};

// The real main window over a fake port, a fake user and a first-run configuration whose
// file lives in a folder of the test's own.
class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest();

    // Connects on "ttyFAKE" as Connect and the device's answer do, and forgets what went out.
    void Connect();
    // Runs the event loop until the connection command under way has ended.
    void FinishConnecting() { FinishConnecting(form); }
    static void FinishConnecting(TMainForm& window);
    // Bytes from the device, delivered as the port's receive notification does.
    void Receive(const std::vector<uint8_t>& wire);
    // The packets written since the last call, decoded; the unframed reset shows as 'R'.
    std::vector<SentPacket> TakeSentPackets();
    // The command letters of TakeSentPackets(), in order.
    std::string TakeSentLetters();
    std::vector<uint8_t> TakeWritten() { return device.TakeWritten(); }
    QStringList LogLines();

    template <typename T>
    T* Control(const char* name) {
        T* control = form.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    MainFormServices Services();

    QTemporaryDir folder;
    DetectableDevice device;
    RecordingUserMessages messages;
    ConfigRecord config;
    std::vector<std::string> ports;
    TMainForm form;
};
