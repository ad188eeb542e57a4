#include "link/serial.h"

#include <array>
#include <cstdint>

#include "common/ticks.h"

namespace {

constexpr std::array<int, 13> kStandardBaudRates = {110,   300,   600,   1200,  2400,  4800,  9600,
                                                    14400, 19200, 38400, 56000, 57600, 115200};

// How long a softFlow read waits for a byte that is not there yet.
constexpr uint64_t kSoftFlowReadWaitMs = 20;

std::string PortNameOrNumber(const std::string& portName, int portNumber) {
    return portName.empty() ? "COM" + std::to_string(portNumber) : portName;
}

}  // namespace

bool IsStandardBaudRate(int baud) {
    for (int rate : kStandardBaudRates)
        if (rate == baud) return true;
    return false;
}

Serial::Serial(SerialPortDevice& port_, const std::string& portName, int portNumber, int baud,
               int inputSize_, int outputSize_, char /*parity: always none*/, int dataBits,
               int stopBits, bool softFlow_)
    : port(port_) {
    port.SetBaudRate(baud, !IsStandardBaudRate(baud));
    port.SetBufferSizes(inputSize_, outputSize_);
    if (dataBits >= 5 && dataBits <= 8) port.SetDataBits(dataBits);
    port.SetFlowControl(softFlow_ ? SerialPortDevice::FlowControl::Software
                                  : SerialPortDevice::FlowControl::None);
    if (stopBits == 1 || stopBits == 2) port.SetStopBits(stopBits);
    inputSize = inputSize_;
    outputSize = outputSize_;
    softFlow = softFlow_;
    port.SetPortName(PortNameOrNumber(portName, portNumber));
    isOpen = port.Open();
    // The XON goes out once the port is open, as the component does at the end of its update.
    if (softFlow && isOpen) SendXon();
}

Serial::~Serial() {
    port.Close();
}

int Serial::ReadRawByte() {
    if (!isOpen) return -1;
    if (port.InputCount() == 0) {
        if (!softFlow) return -1;
        BusyWaitUntil(TickCount() + kSoftFlowReadWaitMs);
        if (port.InputCount() == 0) return -1;
    }
    uint8_t byte = 0;
    return port.Read(&byte, 1) == 1 ? byte : -1;
}

int Serial::ReadByte() {
    if (nextReceived_ < receivedEnd_) return received_[nextReceived_++];
    const int byte = ReadRawByte();
    return softFlow && byte == kEscape ? ReadAfterEscape() : byte;
}

int Serial::ReadAfterEscape() {
    // A run of escapes counts as one. A loop rather than recursion, so a long run cannot
    // exhaust the stack.
    int byte = kEscape;
    while (byte == kEscape) byte = ReadRawByte();
    return byte < 0 ? -1 : (byte & 0x7F);
}

int Serial::ReadByteWait(int seconds) {
    if (!isOpen) return -1;
    const int64_t start = WallClockSeconds();
    const auto expired = [&] { return seconds != 0 && WallClockSeconds() - start > seconds; };
    BusyWaitFor(UINT64_MAX, [&] { return BytesWaiting() > 0 || expired(); });
    return BytesWaiting() > 0 ? ReadByte() : -1;
}

int Serial::ReadWaiting(int most) {
    if (!isOpen || nextReceived_ < receivedEnd_ || most <= 0) return 0;
    const int read = port.Read(received_.data(), most < kReadBatch ? most : kReadBatch);
    const size_t size = read > 0 ? static_cast<size_t>(read) : 0;
    nextReceived_ = 0;
    receivedEnd_ = softFlow ? RemoveEscapes(size) : size;
    return read;
}

size_t Serial::RemoveEscapes(size_t size) {
    size_t kept = 0;
    bool escaped = false;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t byte = received_[i];
        // A run of escapes counts as one.
        if (byte == kEscape) {
            escaped = true;
            continue;
        }
        received_[kept++] = escaped ? (byte & 0x7F) : byte;
        escaped = false;
    }
    if (!escaped) return kept;
    // An escape at the end is completed as ReadByte completes it, from what comes next; the
    // escape left room for the byte.
    const int byte = ReadAfterEscape();
    if (byte >= 0) received_[kept++] = static_cast<uint8_t>(byte);
    return kept;
}

void Serial::AppendWireBytes(std::vector<uint8_t>& out, int value, bool raw) const {
    const bool needsEscape =
        softFlow && (value == kXon || value == kXoff || value == kEscape || value == 0x4B ||
                     (value >= 0x00 && value <= 0x0F && !raw));
    if (needsEscape) {
        out.push_back(kEscape);
        out.push_back(static_cast<uint8_t>(value | 0x80));
    } else {
        out.push_back(static_cast<uint8_t>(value));
    }
}

bool Serial::WriteByte(int value, bool raw) {
    if (!isOpen) return false;
    if (OutputFree() < kOutputMargin) return false;
    std::vector<uint8_t> wire;
    AppendWireBytes(wire, value, raw);
    port.Write(wire.data(), static_cast<int>(wire.size()));
    return true;
}

std::vector<uint8_t> Serial::WireBytes(const uint8_t* data, size_t size) const {
    std::vector<uint8_t> wire;
    wire.reserve(size * (softFlow ? 2 : 1));
    for (size_t i = 0; i < size; ++i) AppendWireBytes(wire, data[i], false);
    return wire;
}

bool Serial::Fits(size_t wireSize) {
    return static_cast<int64_t>(wireSize) <= OutputFree() - kOutputMargin;
}

bool Serial::WriteBlock(const uint8_t* data, size_t size) {
    if (!isOpen) return false;
    const std::vector<uint8_t> wire = WireBytes(data, size);
    if (!Fits(wire.size())) return false;
    port.Write(wire.data(), static_cast<int>(wire.size()));
    return true;
}

bool Serial::HasRoomFor(const uint8_t* data, size_t size) {
    return isOpen && Fits(WireBytes(data, size).size());
}

int Serial::BytesWaiting() {
    return isOpen ? static_cast<int>(receivedEnd_ - nextReceived_) + port.InputCount() : 0;
}

int Serial::OutputFree() {
    if (!isOpen) return 0;
    const int free = outputSize - port.OutputCount();
    return free < 0 ? 0 : free;
}

void Serial::SendXon() {
    if (isOpen) port.TransmitChar(kXon);
}
