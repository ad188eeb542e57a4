#include "support/fake_serial_port_device.h"

bool FakeSerialPortDevice::Open() {
    open = !failOpen;
    return open;
}

int FakeSerialPortDevice::Read(uint8_t* data, int size) {
    int n = 0;
    while (n < size && !input.empty()) {
        data[n++] = input.front();
        input.pop_front();
    }
    return n;
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
