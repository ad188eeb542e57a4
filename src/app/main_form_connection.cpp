// The main window's commands that open, close, find and reset the link to the device.
#include <QAction>

#include "app/config_comms.h"
#include "app/main_form.h"
#include "common/ticks.h"
#include "common/user_messages.h"
#include "config/config_record.h"
#include "session/handle_can.h"

namespace {

constexpr uint8_t kResetLetter = 'R';
constexpr uint8_t kIdentifyLetter = 'Y';
constexpr uint8_t kConnectedLetter = 'Z';

}  // namespace

void TMainForm::OpenLink(const std::string& name) {
    // The old link closes the port before the new one opens it.
    currentSerial_.reset();
    currentSerial_ = std::make_unique<Serial>(comPort_, name, 0, config_.baudRate, kLinkBufferSize,
                                              kLinkBufferSize, 'n', 8, 1, 0);
}

void TMainForm::SetConnectHint(const char* hint) {
    actions_.tbConnect->setText(hint);
    actions_.tbConnect->setToolTip(hint);
}

void TMainForm::SetupComPort(bool withDialog) {
    if (withDialog && !configComms_->EditPortSettings(portName_, config_.baudRate)) return;
    // Never drop a link without the Disconnect steps: the session would otherwise stay
    // connected without a link, or keep the answer timer of the old link's handshake.
    DisconnectClick();
    OpenLink(portName_);
    if (currentSerial_->isOpen) {
        session_->Identify();
        SetConnectHint("Disconnect");
    } else {
        currentSerial_.reset();
        SetConnectHint("Connect");
        AddLogLine(" ** Cannot open " + portName_ + ": " + comPort_.OpenErrorText() + " **");
        messages_.ShowMessage("Cannot Open Com Port\n" + portName_, "Error");
    }
    UpdateControls();
}

void TMainForm::Connect1Click() {
    SetupComPort(false);
}

void TMainForm::DisconnectClick() {
    if (!currentSerial_) return;
    bStopTxClick();
    session_->Reset();
    currentSerial_.reset();
    SetConnectHint("Connect");
    UpdateControls();
}

void TMainForm::tbConnectClick() {
    if (session_->connected) {
        DisconnectClick();
        return;
    }
    Connect1Click();
    // The device's answer is handled only back in the event loop, so this always follows.
    if (!session_->connected) AutoDetect1Click();
}

void TMainForm::tbResetAllClick() {
    const bool declined = ResetLog(true);
    if (declined || !currentSerial_) return;
    DisconnectClick();
    Connect1Click();
}

void TMainForm::AutoDetect1Click() {
    DisconnectClick();
    for (const std::string& name : enumComPorts_()) {
        AddLogLine(name);
        OpenLink(name);
        if (!currentSerial_->isOpen) {
            currentSerial_.reset();
            continue;
        }
        if (ProbeCurrentLink()) {
            portName_ = name;
            SetupComPort(false);
            return;
        }
        currentSerial_.reset();
        detecting_ = false;
    }
    // No link is left open, whatever the hint said before (it starts as "Disconnect").
    SetConnectHint("Connect");
    messages_.ShowMessage("Can't find Ostrel", "Error");
}

bool TMainForm::ProbeCurrentLink() {
    Serial& link = *currentSerial_;
    link.WriteByte(Frame::kStart, 0);
    link.WriteByte(kResetLetter, 0);
    const uint64_t settled = TickCount() + kResetSettleMs;
    while (link.BytesWaiting() != 0) link.ReadByteWait(0);
    BusyWaitUntil(settled);

    detecting_ = true;
    Frame(kIdentifyLetter, 0).Send(&link);
    uint8_t answer[2] = {};
    int received = 0;
    // The event loop does not run here, so the answer is read from the link itself.
    BusyWaitFor(TickCount() + kDetectAnswerMs, [&] {
        if (link.BytesWaiting() > 0) {
            const int byte = link.ReadByteWait(0);
            if (byte >= 0) answer[received++] = static_cast<uint8_t>(byte);
        }
        return received == 2 || !detecting_;
    });
    if (received == 2 && answer[0] == Frame::kStart && answer[1] == kConnectedLetter)
        detecting_ = false;
    return !detecting_;
}

void TMainForm::ComPort1Error(SerialPortDevice::ErrorKind error) {
    // Only a port that went away matters: the link is closed without the reset bytes, which
    // could not reach the device, so that Connect works again once it is back.
    if (error != SerialPortDevice::ErrorKind::ResourceLost || !currentSerial_) return;
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
