#include "session/port_search.h"

#include <QTimer>

#include "link/serial.h"
#include "session/device_probe.h"

PortSearch::PortSearch(std::vector<std::string> names, int baudRate,
                       std::vector<SerialPortDevice*> ports, Callbacks callbacks)
    : names_(std::move(names)),
      baudRate_(baudRate),
      freePorts_(std::move(ports)),
      callbacks_(std::move(callbacks)),
      probes_(names_.size()),
      firstAnswered_(names_.size()) {}

PortSearch::~PortSearch() {
    for (Probe& probe : probes_) CloseProbe(probe);
}

void PortSearch::Start() {
    StartMore();
    Advance();
}

void PortSearch::StartMore() {
    if (ended_ || nextToStart_ >= firstAnswered_ || freePorts_.empty()) return;
    SerialPortDevice* port = freePorts_.back();
    freePorts_.pop_back();
    StartProbe(nextToStart_++, *port);
    // Opening a port takes some milliseconds: one port per turn of the event loop keeps the
    // window responsive while many are opened.
    QTimer::singleShot(0, this, [this] {
        StartMore();
        Advance();
    });
}

void PortSearch::StartProbe(size_t index, SerialPortDevice& port) {
    Probe& probe = probes_[index];
    probe.port = &port;
    probe.link = DeviceProbe::OpenLink(port, names_[index], baudRate_);
    if (!probe.link->isOpen) {
        probe.outcome = Outcome::Absent;
        CloseProbe(probe);
        return;
    }
    probe.outcome = Outcome::Running;
    probe.exchange = std::make_unique<DeviceProbe::Exchange>(*probe.link);
    connect(probe.exchange.get(), &DeviceProbe::Exchange::finished, this,
            [this, index](bool answered) { OnAnswer(index, answered); });
    probe.exchange->Start();
}

void PortSearch::OnAnswer(size_t index, bool answered) {
    Probe& probe = probes_[index];
    probe.outcome = answered ? Outcome::Answered : Outcome::Absent;
    // Its signal is still being delivered.
    probe.exchange.release()->deleteLater();
    if (!answered) CloseProbe(probe);
    if (answered && index < firstAnswered_) {
        // The ports after it need not be tried any further.
        firstAnswered_ = index;
        for (size_t later = index + 1; later < probes_.size(); ++later) CloseProbe(probes_[later]);
    }
    if (Report()) return;
    StartMore();
    Advance();
}

void PortSearch::Advance() {
    if (!Report()) callbacks_.awaiting(nextToReport_);
}

void PortSearch::CloseProbe(Probe& probe) {
    probe.exchange.reset();
    probe.link.reset();
    if (probe.port != nullptr) freePorts_.push_back(probe.port);
    probe.port = nullptr;
}

bool PortSearch::Report() {
    if (ended_) return true;
    while (nextToReport_ < names_.size()) {
        const Probe& probe = probes_[nextToReport_];
        if (probe.outcome == Outcome::NotStarted || probe.outcome == Outcome::Running) return false;
        const std::string& name = names_[nextToReport_];
        callbacks_.tried(name);
        if (probe.outcome == Outcome::Answered) {
            ended_ = true;
            std::unique_ptr<Serial> link = std::move(probes_[nextToReport_].link);
            for (Probe& other : probes_) CloseProbe(other);
            callbacks_.finished(name, std::move(link));
            return true;
        }
        ++nextToReport_;
    }
    ended_ = true;
    callbacks_.finished(std::nullopt, nullptr);
    return true;
}
