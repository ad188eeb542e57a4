#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/serial_port_device.h"

// An in-memory serial port: what the program writes is collected in `written`, and bytes
// given to Feed() are what it reads.
class FakeSerialPortDevice : public SerialPortDevice {
  public:
    void SetPortName(const std::string& name) override { portName = name; }
    void SetBaudRate(int rate, bool custom) override {
        baudRate = rate;
        customBaudRate = custom;
    }
    void SetBufferSizes(int input, int output) override {
        inputSize = input;
        outputSize = output;
    }
    void SetDataBits(int bits) override { dataBits = bits; }
    void SetStopBits(int bits) override { stopBits = bits; }
    void SetFlowControl(FlowControl flow) override { flowControl = flow; }
    bool Open() override;
    std::string OpenErrorText() const override { return openErrorText; }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    int InputCount() override { return static_cast<int>(input.size()); }
    int OutputCount() override { return pendingOutput; }
    int Read(uint8_t* data, int size) override;
    void Write(const uint8_t* data, int size) override;
    void TransmitChar(uint8_t c) override { transmitted.push_back(c); }

    // Bytes the device sends to the program.
    void Feed(const std::vector<uint8_t>& bytes);
    // Returns and forgets what the program wrote so far.
    std::vector<uint8_t> TakeWritten();

    std::string portName;
    int baudRate = 9600;
    bool customBaudRate = false;
    int inputSize = 0;
    int outputSize = 0;
    int dataBits = 8;
    int stopBits = 1;
    FlowControl flowControl = FlowControl::None;
    bool open = false;
    bool failOpen = false;
    std::string openErrorText = "no such port";  // the reason a failing Open() gives
    int pendingOutput = 0;                       // what OutputCount() reports
    std::deque<uint8_t> input;
    std::vector<uint8_t> written;
    std::vector<uint8_t> transmitted;
};
