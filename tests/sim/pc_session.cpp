#include "pc_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

PcSession::PcSession() {
    config.busRate = 500000;
    device.onRxChar = [this](int reported) {
        ComReceive(assembler, link.get(), reported,
                   [this](Frame& packet) { session.Dispatch(packet); });
    };
    // A lost line is closed without the reset bytes, as the main window does.
    device.onError = [this](SerialPortDevice::ErrorKind kind) {
        portErrors.push_back(kind);
        if (kind == SerialPortDevice::ErrorKind::ResourceLost) link.reset();
    };
}

PcSession::~PcSession() {
    link.reset();
}

bool PcSession::Connect(const std::string& port) {
    link = std::make_unique<Serial>(device, port, 0, 115200, 1024, 1024, 'n', 8, 1, 0);
    if (!link->isOpen) {
        link.reset();
        return false;
    }
    session.Identify();
    return true;
}

void PcSession::DisconnectClick() {
    ++disconnects;
    if (!link) return;
    session.Reset();
    link.reset();
}

bool PcSession::RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    // Wakes the loop now and then so that `done` is checked even when nothing happens.
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (clock.elapsed() >= timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void PcSession::RunFor(int milliseconds) {
    RunUntil([] { return false; }, milliseconds);
}
