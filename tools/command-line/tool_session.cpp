#include "tool_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "common/ticks.h"
#include "link/port_names.h"
#include "session/device_commands.h"
#include "session/device_probe.h"
#include "stop_signals.h"

namespace {

// Records are dropped from the session's store once this many are held: a program that runs
// for days keeps no frame it has already handed on.
constexpr size_t kStoreKept = 4096;

}  // namespace

ToolSession::ToolSession(ConfigRecord& config, bool brief) : config_(config) {
    session_.SetBriefMode(brief);
    device_.onRxChar = [this](int reported) {
        ComReceive(assembler_, link_.get(), reported,
                   [this](Frame& packet) { session_.Dispatch(packet); });
        if (onDelivered) onDelivered();
    };
    // A port that went away is closed without the reset bytes, as the window does.
    device_.onError = [this](SerialPortDevice::ErrorKind kind) {
        if (kind != SerialPortDevice::ErrorKind::ResourceLost || !link_) return;
        session_.LinkLost();
        link_.reset();
        failure = "port " + portName_ + " lost";
    };
}

ToolSession::~ToolSession() {
    Disconnect();
}

bool ToolSession::OpenNamed(const std::string& name, int serialRate, std::string& error) {
    portName_ = name;
    link_ = DeviceProbe::OpenLink(device_, name, serialRate);
    if (link_->isOpen) return true;
    link_.reset();
    error = "cannot open " + name + ": " + device_.OpenErrorText();
    return false;
}

bool ToolSession::Connect(const std::string& port, int serialRate, std::string& error) {
    std::string name = port;
    if (name.empty()) {
        const auto found =
            DeviceProbe::Find(device_, EnumComPorts(), serialRate, [](const std::string&) {});
        if (!found) {
            error = "no Ostrel found on any port";
            return false;
        }
        name = *found;
    }
    if (!OpenNamed(name, serialRate, error)) return false;
    session_.Identify();
    RunUntil([this] { return session_.connected || !link_; });
    if (session_.connected) return true;
    error = StopRequested() ? "stopped before the device answered" : failure;
    return false;
}

void ToolSession::Disconnect() {
    if (!link_) return;
    // A program that ends here has nothing else to do while the device settles.
    BusyWaitUntil(session_.Reset() + HandleCAN::kDisconnectSettleMs);
    link_.reset();
}

void ToolSession::DisconnectClick() {
    // The session gives up on an answer: the handshake's while not connected, a frame's
    // acknowledgement once connected.
    failure = session_.connected ? "no acknowledgement from the device within " +
                                       std::to_string(HandleCAN::kAcknowledgeTimeoutMs) + " ms"
                                 : "no answer from a device on " + portName_;
    Disconnect();
}

void ToolSession::ShowFrame(const CANBuffer* record) {
    if (record == nullptr) return;
    CANBuffer numbered = *record;
    numbered.sequence = received_++;
    if (session_.frames().Size() >= kStoreKept) session_.ClearFrames();
    if (onFrame) onFrame(numbered);
}

bool ToolSession::RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    // Wakes the loop now and then so that `done` is checked even when nothing happens.
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (StopRequested()) return false;
        if (timeoutMs >= 0 && clock.elapsed() >= timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
