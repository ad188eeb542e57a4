#include "support/fake_serial_port_device.h"

#include <algorithm>

bool FakeSerialPortDevice::Open() {
    open = !failOpen;
    return open;
}

int FakeSerialPortDevice::Read(uint8_t* data, int size) {
    const auto n = std::min(input.size(), static_cast<size_t>(size < 0 ? 0 : size));
    std::copy_n(input.begin(), n, data);
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<int>(n);
}

void FakeSerialPortDevice::Write(const uint8_t* data, int size) {
    written.insert(written.end(), data, data + size);
}

void FakeSerialPortDevice::Feed(const std::vector<uint8_t>& bytes) {
    input.insert(input.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> FakeSerialPortDevice::TakeWritten() {
    std::vector<uint8_t> out;
    out.swap(written);
    return out;
}
