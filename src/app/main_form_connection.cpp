// The main window's commands that open, close, find and reset the link to the device. Their
// waits run as the session's connection steps; the window opens and closes its link, writes
// the log lines and tells the user.
#include <QAction>

#include "app/config_comms.h"
#include "app/main_form.h"
#include "common/user_messages.h"
#include "config/config_record.h"
#include "session/connection_steps.h"
#include "session/device_probe.h"
#include "session/handle_can.h"

void TMainForm::CreateConnectionSteps(
    const std::function<std::unique_ptr<SerialPortDevice>()>& makeProbePort) {
    std::vector<SerialPortDevice*> probePorts;
    if (makeProbePort) {
        for (int i = 0; i < kProbesAtOnce; ++i) probePorts_.push_back(makeProbePort());
        for (const auto& port : probePorts_) probePorts.push_back(port.get());
    } else {
        probePorts.push_back(&comPort_);
    }
    ConnectionSteps::Host host;
    host.disconnect = [this] { return DisconnectLink(); };
    host.open = [this](const std::string& name) { return OpenLink(name); };
    host.dropLink = [this] {
        currentSerial_.reset();
        SetConnectHint("Connect");
        UpdateControls();
    };
    host.portNames = enumComPorts_;
    host.baudRate = [this] { return config_.baudRate; };
    host.tried = [this](const std::string& name) { AddLogLine(name); };
    host.found = [this](const std::string& name) { portName_ = name; };
    host.foundNone = [this] {
        // No link is left open, whatever the hint said before (it starts as "Disconnect").
        SetConnectHint("Connect");
        messages_.ShowMessage("Can't find Ostrel", "Error");
    };
    host.changed = [this] { UpdateControls(); };
    steps_ = std::make_unique<ConnectionSteps>(*session_, std::move(host), std::move(probePorts));
}

bool TMainForm::OpenLink(const std::string& name) {
    currentSerial_ = DeviceProbe::OpenLink(comPort_, name, config_.baudRate);
    if (currentSerial_->isOpen) {
        SetConnectHint("Disconnect");
    } else {
        currentSerial_.reset();
        SetConnectHint("Connect");
        AddLogLine(" ** Cannot open " + name + ": " + comPort_.OpenErrorText() + " **");
        messages_.ShowMessage("Cannot Open Com Port\n" + name, "Error");
    }
    UpdateControls();
    return currentSerial_ != nullptr;
}

void TMainForm::SetConnectHint(const char* hint) {
    actions_.tbConnect->setText(hint);
    actions_.tbConnect->setToolTip(hint);
}

bool TMainForm::ConnectionBusy() const {
    return startUpPending_ || steps_->Busy();
}

void TMainForm::StartConnecting() {
    startUpPending_ = false;
    if (portName_.empty())
        AutoDetect1Click();
    else
        SetupComPort(false);
}

void TMainForm::SetupComPort(bool withDialog) {
    if (withDialog && !configComms_->EditPortSettings(portName_, config_.baudRate)) return;
    // The connect step runs the Disconnect steps first: the session would otherwise stay
    // connected without a link, or keep the answer timer of the old link's handshake.
    steps_->Connect(portName_);
}

void TMainForm::Connect1Click() {
    SetupComPort(false);
}

std::pair<std::unique_ptr<Serial>, uint64_t> TMainForm::DisconnectLink() {
    if (!currentSerial_) return {};
    bStopTxClick();
    const uint64_t resetAt = session_->Reset();
    // No longer the window's link: what the device sends while it settles is not read.
    std::unique_ptr<Serial> link = std::move(currentSerial_);
    SetConnectHint("Connect");
    UpdateControls();
    return {std::move(link), resetAt};
}

void TMainForm::DisconnectClick() {
    steps_->Cancel();
    auto [link, resetAt] = DisconnectLink();
    if (link) steps_->CloseAfterSettle(std::move(link), resetAt);
}

void TMainForm::tbConnectClick() {
    if (session_->connected || steps_->Running()) {
        DisconnectClick();
        return;
    }
    // The device's answer is handled only back in the event loop, so Auto Detect always
    // follows.
    steps_->ConnectThenDetect(portName_);
}

void TMainForm::tbResetAllClick() {
    const bool declined = ResetLog(true);
    if (declined || !currentSerial_) return;
    // Disconnect, then Connect: the connect step begins with the Disconnect steps.
    Connect1Click();
}

void TMainForm::AutoDetect1Click() {
    steps_->Detect();
}

void TMainForm::ComPort1Error(SerialPortDevice::ErrorKind error) {
    // Only a port that went away matters: the link is closed without the reset bytes, which
    // could not reach the device, so that Connect works again once it is back.
    if (error != SerialPortDevice::ErrorKind::ResourceLost || !currentSerial_) return;
    steps_->Cancel();
    bStopTxClick();
    session_->LinkLost();
    currentSerial_.reset();
    AddLogLine(" ** Port " + portName_ + " lost **");
    SetConnectHint("Connect");
    UpdateControls();
}

void TMainForm::OnBytesReceived(int reported) {
    // Handling a packet may show a modal box, and the link may be closed while it is open:
    // the owning pointer is handed over, so that ComReceive looks at it after every packet.
    ComReceive(assembler_, currentSerial_, reported,
               [this](Frame& packet) { session_->Dispatch(packet); });
}
