#include "session/device_probe.h"

#include "common/ticks.h"
#include "link/frame.h"
#include "link/serial.h"
#include "session/device_commands.h"

std::unique_ptr<Serial> DeviceProbe::OpenLink(SerialPortDevice& port, const std::string& name,
                                              int baudRate) {
    return std::make_unique<Serial>(port, name, 0, baudRate, kLinkBufferSize, kLinkBufferSize, 'n',
                                    8, 1, 0);
}

bool DeviceProbe::Answers(Serial& link) {
    link.WriteByte(Frame::kStart, 0);
    link.WriteByte(kLetterReset, 0);
    const uint64_t settled = TickCount() + kResetSettleMs;
    while (link.BytesWaiting() != 0) link.ReadByteWait(0);
    BusyWaitUntil(settled);

    Frame(kLetterIdentify, 0).Send(&link);
    uint8_t answer[2] = {};
    int received = 0;
    BusyWaitFor(TickCount() + kAnswerMs, [&] {
        if (link.BytesWaiting() > 0) {
            const int byte = link.ReadByteWait(0);
            if (byte >= 0) answer[received++] = static_cast<uint8_t>(byte);
        }
        return received == 2;
    });
    return received == 2 && answer[0] == Frame::kStart && answer[1] == kLetterIdentified;
}

std::optional<std::string> DeviceProbe::Find(
    SerialPortDevice& port, const std::vector<std::string>& names, int baudRate,
    const std::function<void(const std::string&)>& trying) {
    for (const std::string& name : names) {
        trying(name);
        const std::unique_ptr<Serial> link = OpenLink(port, name, baudRate);
        if (link->isOpen && Answers(*link)) return name;
    }
    return std::nullopt;
}
