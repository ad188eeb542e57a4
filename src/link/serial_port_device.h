#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The serial-port component that a Serial link drives: line settings, open and close, byte
// input and output, and a receive notification. Production uses PosixSerialPortDevice; tests
// use a fake.
class SerialPortDevice {
  public:
    enum class FlowControl { None, Software };
    enum class ErrorKind { ResourceLost, Other };

    virtual ~SerialPortDevice() = default;

    // Settings; they take effect together at Open().
    virtual void SetPortName(const std::string& name) = 0;
    // `custom` is false for one of the thirteen standard rates, true for any other rate.
    virtual void SetBaudRate(int rate, bool custom) = 0;
    virtual void SetBufferSizes(int inputSize, int outputSize) = 0;
    virtual void SetDataBits(int bits) = 0;
    virtual void SetStopBits(int bits) = 0;
    virtual void SetFlowControl(FlowControl flow) = 0;

    // Opens the port; true when it is open afterwards. Never throws.
    virtual bool Open() = 0;
    // Why the last Open() failed, in words for the user (no such port, permission denied and
    // how to get it, port busy).
    virtual std::string OpenErrorText() const = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Bytes received and not yet read; when none are buffered, what the operating system holds
    // is fetched first, so a busy wait sees bytes arrive. Never runs the receive notification.
    virtual int InputCount() = 0;
    // Bytes written and not yet handed to the operating system.
    virtual int OutputCount() = 0;
    // Reads up to `size` bytes; returns how many were read.
    virtual int Read(uint8_t* data, int size) = 0;
    // Queues `size` bytes and hands them to the operating system at once.
    virtual void Write(const uint8_t* data, int size) = 0;
    // Sends one character ahead of anything queued.
    virtual void TransmitChar(uint8_t c) = 0;

    // Called on the GUI thread with the number of bytes waiting whenever bytes arrive.
    std::function<void(int)> onRxChar;
    // Called on the GUI thread when the component reports an error.
    std::function<void(ErrorKind)> onError;
};
