#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/serial_port_device.h"

// One open link to the device over a serial-port component: applies the line settings, opens
// the port, and moves bytes in and out. With software flow control it adds an escaping layer so
// that XON, XOFF and control bytes never appear as data.
class Serial {
  public:
    static constexpr uint8_t kXon = 0x11;
    static constexpr uint8_t kXoff = 0x13;
    static constexpr uint8_t kEscape = 0x1B;
    // Bytes kept free in the output buffer; a write that would eat into them is dropped.
    static constexpr int kOutputMargin = 3;

    // Applies the settings and opens the port; isOpen tells the outcome. `port` is not owned.
    Serial(SerialPortDevice& port, const std::string& portName, int portNumber, int baud,
           int inputSize, int outputSize, char parity, int dataBits, int stopBits, bool softFlow);
    // Closes the port.
    ~Serial();
    Serial(const Serial&) = delete;
    Serial& operator=(const Serial&) = delete;

    // The next received byte, or -1 when there is none (after 20 ms with softFlow). Bytes that
    // ReadWaiting() took and nobody has taken yet come first.
    int ReadByte();
    // The next received byte, waiting at most `seconds` whole seconds (0: no limit); -1 on
    // time-out. Does not let the event loop run.
    int ReadByteWait(int seconds);
    // True when the byte was handed to the port, false when it was dropped.
    bool WriteByte(int value, bool raw);
    // Writes the bytes as a whole (each through the softFlow escaping) or, when they do not
    // fit in the free output space less the margin, drops them all. True when written.
    bool WriteBlock(const uint8_t* data, size_t size);
    // True when WriteBlock would write these bytes now.
    bool HasRoomFor(const uint8_t* data, size_t size);
    // Received bytes: those ReadWaiting() holds and those the port holds.
    int BytesWaiting();
    int OutputFree();
    void SendXon();

    // The receive handler's reads. ReadWaiting() takes what the port holds, at most `most`
    // bytes, in one read and removes the softFlow escaping (an escape at the end is completed
    // by ReadByte's rules); it reads nothing while bytes it took are still held. It returns how
    // many bytes it took from the port. Received() shows the held bytes, and TakeReceived()
    // drops the first `count` of them once they are handled.
    int ReadWaiting(int most);
    std::span<const uint8_t> Received() const {
        return {received_.data() + nextReceived_, receivedEnd_ - nextReceived_};
    }
    void TakeReceived(size_t count) { nextReceived_ += count; }

    // The most bytes one ReadWaiting() takes.
    static constexpr int kReadBatch = 4096;

    bool isOpen = false;
    bool softFlow = false;
    int inputSize = 0;
    int outputSize = 0;
    SerialPortDevice& port;

  private:
    // One byte from the port without the softFlow escaping, -1 when there is none (after
    // 20 ms with softFlow).
    int ReadRawByte();
    // Appends `value` as it goes on the line, with the softFlow escaping when that is on.
    void AppendWireBytes(std::vector<uint8_t>& out, int value, bool raw) const;
    // The bytes as they go on the line, each through the softFlow escaping.
    std::vector<uint8_t> WireBytes(const uint8_t* data, size_t size) const;
    bool Fits(size_t wireSize);
    // The byte after an escape, with bit 7 cleared; -1 when none comes.
    int ReadAfterEscape();
    // Removes the softFlow escaping from the first `size` bytes held; returns how many remain.
    size_t RemoveEscapes(size_t size);

    std::array<uint8_t, kReadBatch> received_{};
    size_t nextReceived_ = 0;
    size_t receivedEnd_ = 0;
};

// The thirteen standard line rates of the serial component, in order.
bool IsStandardBaudRate(int baud);
