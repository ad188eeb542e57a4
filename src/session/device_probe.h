#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Serial;
class SerialPortDevice;

// Asking a port whether the device is on it, as Auto Detect does: the reset bytes 55 52, a
// 500 ms settle with what the device sent before discarded, then 'Y' (55 59 00) and at most
// 100 ms for the answer 55 5A. The waits block the caller without running the event loop, so
// the answer is read from the link itself and no receive handler sees it.
class DeviceProbe {
  public:
    static constexpr int kLinkBufferSize = 1024;
    static constexpr int kResetSettleMs = 500;
    static constexpr int kAnswerMs = 100;

    // Opens `name` with the line settings of every link to the device (the buffers above, no
    // parity, 8 data bits, 1 stop bit, no software flow control). Check isOpen; when it is
    // false, `port.OpenErrorText()` says why.
    static std::unique_ptr<Serial> OpenLink(SerialPortDevice& port, const std::string& name,
                                            int baudRate);

    // Runs the exchange above on an open link; true when the device answered in time.
    static bool Answers(Serial& link);

    // Tries every name in turn at `baudRate` (`trying` hears each name first, also of ports
    // that do not open) and returns the first whose port answers, its link closed again.
    static std::optional<std::string> Find(SerialPortDevice& port,
                                           const std::vector<std::string>& names, int baudRate,
                                           const std::function<void(const std::string&)>& trying);
};
