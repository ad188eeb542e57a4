#pragma once

#include <QObject>
#include <QSerialPort>

#include "link/serial_port_device.h"

// SerialPortDevice over QSerialPort. Writes reach the operating system at once, and
// InputCount() pulls what the operating system holds without running the receive
// notification, so the busy waits of the session see the device's answer.
class QtSerialPortDevice : public QObject, public SerialPortDevice {
    Q_OBJECT
public:
    explicit QtSerialPortDevice(QObject* parent = nullptr);
    ~QtSerialPortDevice() override;

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
    void NotifyReceived();
    void ReportError(QSerialPort::SerialPortError error);
    // Moves what the operating system holds into the port's buffer with the port's signals
    // blocked, so neither the receive handler nor an error handler runs inside a busy wait.
    void PullFromSystem();
    // Hands everything queued in the port to the operating system, as far as it takes it.
    void FlushQueued();
    // Deliver from the event loop what a pull found: bytes that no readyRead announces any
    // more, and an error that the blocked signal did not report. At most one of each waits.
    void PostRxNotification();
    void PostError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    std::string openErrorText_;
    bool rxNotificationPosted_ = false;
    QSerialPort::SerialPortError postedError_ = QSerialPort::NoError;
};
