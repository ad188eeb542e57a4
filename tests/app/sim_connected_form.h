#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <vector>

#include "app/main_form.h"
#include "config/config_record.h"
#include "link/posix_serial_port_device.h"
#include "session/can_buffer.h"
#include "sim/sim_process.h"
#include "support/recording_user_messages.h"

// The real main window, shown offscreen, connected through Auto Detect to an ostrel-sim of
// its own over a pseudo-terminal. The settings file and the simulator's port registry live in
// folders of its own, so nothing the user has is read or written.
class SimConnectedForm {
  public:
    // Without `traced` the simulator keeps no packet trace, and FramesFromPc() finds nothing.
    explicit SimConnectedForm(const QStringList& simArguments, bool traced = true);
    ~SimConnectedForm();
    SimConnectedForm(const SimConnectedForm&) = delete;
    SimConnectedForm& operator=(const SimConnectedForm&) = delete;

    // Starts the window as the program does and waits for the device's handshake; false when
    // the simulator did not start or the window did not connect.
    bool StartAndConnect();

    // The frames the simulator received from the window ('F' and 'G'), each with its packet.
    std::vector<TracedPacket> FramesFromPc() const;

    // What the window logged and showed, and what the simulator heard and said, on stderr.
    void PrintWhyNotConnected();

    SimProcess sim;
    QTemporaryDir folder;
    ConfigRecord config;
    RecordingUserMessages messages;
    PosixSerialPortDevice comPort;
    TMainForm form;
};

// The frame a traced 'F' or 'G' packet carries, as the window's session built it.
CANBuffer SentFrame(const TracedPacket& packet);

// The monotonic clock of the simulator's trace, in microseconds.
uint64_t TraceClockUs();
