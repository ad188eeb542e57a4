#include "session/device_probe.h"

#include <QEventLoop>

#include "common/ticks.h"
#include "link/frame.h"
#include "link/serial.h"
#include "session/device_commands.h"

namespace DeviceProbe {

namespace {

// How often the answer is looked for: the busy wait it replaces polled as often.
constexpr int kPollMs = 1;

}  // namespace

std::unique_ptr<Serial> OpenLink(SerialPortDevice& port, const std::string& name, int baudRate) {
    return std::make_unique<Serial>(port, name, 0, baudRate, kLinkBufferSize, kLinkBufferSize, 'n',
                                    8, 1, 0);
}

uint64_t ResetDevice(Serial& link) {
    static constexpr uint8_t kResetBytes[] = {Frame::kStart, kLetterReset};
    link.WriteBlock(kResetBytes, sizeof kResetBytes);
    // The settle counts from the reset on the line.
    const uint64_t resetAt = TickCount();
    while (link.BytesWaiting() != 0) link.ReadByteWait(0);
    return resetAt;
}

void SendIdentify(Serial& link) {
    Frame(kLetterIdentify, 0).Send(&link);
}

Exchange::Exchange(Serial& link) : link_(link) {
    settle_.setSingleShot(true);
    settle_.setTimerType(Qt::PreciseTimer);
    poll_.setTimerType(Qt::PreciseTimer);
    connect(&settle_, &QTimer::timeout, this, &Exchange::SendIdentifyAndListen);
    connect(&poll_, &QTimer::timeout, this, &Exchange::ReadAnswer);
}

void Exchange::Start() {
    settledAt_ = ResetDevice(link_) + kResetSettleMs;
    settle_.start(kResetSettleMs);
}

void Exchange::SendIdentifyAndListen() {
    // A timer may end a little early at millisecond resolution; the device gets its whole wait.
    BusyWaitUntil(settledAt_);
    SendIdentify(link_);
    answerDeadline_ = TickCount() + kAnswerMs;
    poll_.start(kPollMs);
}

void Exchange::ReadAnswer() {
    while (received_ < 2 && link_.BytesWaiting() > 0) {
        const int byte = link_.ReadByteWait(0);
        if (byte >= 0) answer_[received_++] = static_cast<uint8_t>(byte);
    }
    const bool complete = received_ == 2;
    if (!complete && TickCount() <= answerDeadline_) return;
    poll_.stop();
    emit finished(complete && answer_[0] == Frame::kStart && answer_[1] == kLetterIdentified);
}

bool Answers(Serial& link) {
    Exchange exchange(link);
    QEventLoop loop;
    bool answered = false;
    QObject::connect(&exchange, &Exchange::finished, &loop, [&](bool found) {
        answered = found;
        loop.quit();
    });
    exchange.Start();
    loop.exec();
    return answered;
}

std::optional<std::string> Find(SerialPortDevice& port, const std::vector<std::string>& names,
                                int baudRate,
                                const std::function<void(const std::string&)>& trying) {
    for (const std::string& name : names) {
        trying(name);
        const std::unique_ptr<Serial> link = OpenLink(port, name, baudRate);
        if (link->isOpen && Answers(*link)) return name;
    }
    return std::nullopt;
}

}  // namespace DeviceProbe
