#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <string>
#include <vector>

#include "link/serial_port_device.h"

// SerialPortDevice over a terminal device file that it opens and watches itself. Writes reach
// the operating system at once, and InputCount() pulls what the operating system holds without
// running the receive notification, so the busy waits of the session see the device's answer.
// A busy line wakes the program at most once per read pause: see PauseReading().
class PosixSerialPortDevice : public QObject, public SerialPortDevice {
    Q_OBJECT
  public:
    explicit PosixSerialPortDevice(QObject* parent = nullptr);
    ~PosixSerialPortDevice() override;

    // How long reading rests after a receive notification. The device's answers are awaited
    // for a second or more, so a few milliseconds cost nothing.
    static constexpr int kReadPauseMs = 3;
    // When the operating system holds this many bytes again by the time the receive handler
    // is done, the line is backed up: then the next read follows at once, since pausing would
    // only hold the device back.
    static constexpr int kBackedUpBytes = 512;

    void SetPortName(const std::string& name) override;
    void SetBaudRate(int rate, bool custom) override;
    void SetBufferSizes(int inputSize, int outputSize) override;
    void SetDataBits(int bits) override;
    void SetStopBits(int bits) override;
    void SetFlowControl(FlowControl flow) override;
    bool Open() override;
    std::string OpenErrorText() const override { return openErrorText_; }
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int InputCount() override;
    // The most bytes one pull takes from the operating system.
    static constexpr int kPullChunk = 4096;
    int OutputCount() override { return static_cast<int>(unsent_.size()); }
    int Read(uint8_t* data, int size) override;
    void Write(const uint8_t* data, int size) override;
    void TransmitChar(uint8_t c) override;

  private:
    // The system error of opening and setting up the line; 0 when it is open.
    int OpenLine();
    bool ApplyLineSettings();
    void OnReadable();
    void NotifyReceived();
    // Every readable line would wake the program thousands of times a second, each wake-up
    // far dearer than the bytes it brings. After a notification the read notifier rests for
    // kReadPauseMs, so that what arrives meanwhile comes in one read.
    void PauseReading();
    void ResumeReading();
    // Once every pulled byte is read: moves what the operating system holds into the pulled
    // bytes, one chunk at most; true when it brought any. Reads of single bytes then cost no
    // system call each.
    bool Pull();
    // Hands the bytes not yet sent to the operating system, as far as it takes them.
    void SendUnsent();
    // A hung-up line is closed at once and reported as lost, after the bytes that came before.
    void ReportLineError();
    // Deliver from the event loop the bytes that arrived (or that a pull found, which the read
    // notifier does not see any more), and an error found inside a read. At most one of each
    // waits.
    void PostRxNotification();
    void PostLineError();
    int SystemInputQueue() const;
    bool LineHungUp() const;

    std::string devicePath_;
    int baudRate_ = 9600;
    int dataBits_ = 8;
    int stopBits_ = 1;
    FlowControl flow_ = FlowControl::None;
    int fd_ = -1;
    QSocketNotifier readNotifier_{QSocketNotifier::Read};
    QSocketNotifier writeNotifier_{QSocketNotifier::Write};
    QTimer readPause_;
    std::vector<uint8_t> pulled_;
    size_t pulledTaken_ = 0;  // the bytes of pulled_ before this were read
    std::vector<uint8_t> unsent_;
    std::string openErrorText_;
    bool rxNotificationPosted_ = false;
    bool lineErrorPosted_ = false;
};
