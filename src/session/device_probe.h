#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Serial;
class SerialPortDevice;

// Asking a port whether the device is on it, as Auto Detect does: the reset bytes 55 52, a
// 500 ms settle with what the device sent before discarded, then 'Y' (55 59 00) and at most
// 100 ms for the answer 55 5A. The steps of that exchange are shared by the session's connect
// handshake; the waits run on timers, so the event loop keeps running, and the answer is read
// from the link itself, so no receive handler sees it.
namespace DeviceProbe {

constexpr int kLinkBufferSize = 1024;
constexpr int kResetSettleMs = 500;
constexpr int kAnswerMs = 100;

// Opens `name` with the line settings of every link to the device (the buffers above, no
// parity, 8 data bits, 1 stop bit, no software flow control). Check isOpen; when it is
// false, `port.OpenErrorText()` says why.
std::unique_ptr<Serial> OpenLink(SerialPortDevice& port, const std::string& name, int baudRate);

// Writes the unframed reset and discards what the device sent before it; returns the tick
// count at the reset, from which the settle times count.
uint64_t ResetDevice(Serial& link);
// Writes the identify packet.
void SendIdentify(Serial& link);

// The exchange on one open link, run by timers: Start() resets the device, `finished` tells
// whether it answered in time. Destroying it stops it; the link stays the caller's.
class Exchange : public QObject {
    Q_OBJECT
  public:
    explicit Exchange(Serial& link);
    void Start();

  signals:
    void finished(bool answered);

  private:
    void SendIdentifyAndListen();
    void ReadAnswer();

    Serial& link_;
    QTimer settle_;
    QTimer poll_;
    uint64_t settledAt_ = 0;
    uint64_t answerDeadline_ = 0;
    uint8_t answer_[2] = {};
    int received_ = 0;
};

// Runs the exchange on an open link in a local event loop; true when the device answered in
// time. For callers that have nothing else to do meanwhile.
bool Answers(Serial& link);

// Tries every name in turn at `baudRate` (`trying` hears each name first, also of ports
// that do not open) and returns the first whose port answers, its link closed again.
std::optional<std::string> Find(SerialPortDevice& port, const std::vector<std::string>& names,
                                int baudRate,
                                const std::function<void(const std::string&)>& trying);

}  // namespace DeviceProbe
