#pragma once

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include "link/serial_port_device.h"

// SerialPortDevice over QSerialPort. Writes reach the operating system at once, and
// InputCount() pulls what the operating system holds without running the receive
// notification, so the busy waits of the session see the device's answer. A busy line wakes
// the program at most once per read pause: see PauseReadNotifier().
class QtSerialPortDevice : public QObject, public SerialPortDevice {
    Q_OBJECT
  public:
    explicit QtSerialPortDevice(QObject* parent = nullptr);
    ~QtSerialPortDevice() override;

    // How long the port's read notifier rests after a receive notification. The device's
    // answers are awaited for a second or more, so a few milliseconds cost nothing.
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
    bool IsOpen() const override;
    int InputCount() override;
    int OutputCount() override;
    int Read(uint8_t* data, int size) override;
    void Write(const uint8_t* data, int size) override;
    void TransmitChar(uint8_t c) override;

  private:
    void OnReadyRead();
    void NotifyReceived();
    // QSerialPort reads and announces each chunk the moment the operating system has one: on a
    // busy line that is thousands of wake-ups a second, each far dearer than the bytes it
    // brings. After a notification its read notifier (on Unix a QSocketNotifier child of the
    // port) is disabled for kReadPauseMs, so that what arrives meanwhile comes in one read.
    // Where no such child exists (another platform or Qt version) nothing is paused.
    void PauseReadNotifier();
    void ResumeReadNotifier();
    void ReportError(QSerialPort::SerialPortError error);
    // Moves what the operating system holds into the port's buffer with the port's signals
    // blocked, so neither the receive handler nor an error handler runs inside a busy wait.
    void PullFromSystem();
    // Hands everything queued in the port to the operating system, as far as it takes it.
    void FlushQueued();
    // Deliver from the event loop the bytes that arrived (or that a pull found, which no
    // readyRead announces any more), and an error that the blocked signal did not report. At
    // most one of each waits.
    void PostRxNotification();
    void PostError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QTimer readPause_;
    QPointer<QSocketNotifier> pausedNotifier_;  // gone with the port's close
    std::string openErrorText_;
    bool rxNotificationPosted_ = false;
    QSerialPort::SerialPortError postedError_ = QSerialPort::NoError;
};
