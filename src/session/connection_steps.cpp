#include "session/connection_steps.h"

#include "common/ticks.h"
#include "link/serial.h"
#include "session/device_probe.h"
#include "session/handle_can.h"
#include "session/port_search.h"

ConnectionSteps::ConnectionSteps(HandleCAN& session, Host host,
                                 std::vector<SerialPortDevice*> probePorts)
    : session_(session), host_(std::move(host)), probePorts_(std::move(probePorts)) {
    closeTimer_.setSingleShot(true);
    closeTimer_.setTimerType(Qt::PreciseTimer);
    connect(&closeTimer_, &QTimer::timeout, this, &ConnectionSteps::OnSettled);
    connect(&session_, &HandleCAN::identifySent, this, &ConnectionSteps::OnIdentifySent);
}

ConnectionSteps::~ConnectionSteps() {
    search_.reset();
    // At the program's end the device still gets its whole settle before the port closes.
    if (closing_) BusyWaitUntil(closeAt_);
}

void ConnectionSteps::Connect(const std::string& name) {
    Run({{Step::Kind::Connect, name}}, false);
}

void ConnectionSteps::ConnectThenDetect(const std::string& name) {
    Run({{Step::Kind::Connect, name}, {Step::Kind::Detect, {}}}, false);
}

void ConnectionSteps::Detect() {
    Run({{Step::Kind::Detect, {}}}, false);
}

void ConnectionSteps::DetectLater() {
    Run({{Step::Kind::Detect, {}}}, true);
}

void ConnectionSteps::ConnectLater(const std::string& name) {
    Run({{Step::Kind::Connect, name}}, true);
}

void ConnectionSteps::Run(std::vector<Step> steps, bool later) {
    Cancel();
    queue_.assign(steps.begin(), steps.end());
    if (later)
        QTimer::singleShot(0, this, &ConnectionSteps::Next);
    else
        Next();
}

void ConnectionSteps::Next() {
    if (current_) return;
    if (queue_.empty()) {
        SetActivity({});
        return;
    }
    current_ = queue_.front();
    queue_.pop_front();
    SetActivity(current_->kind == Step::Kind::Connect
                    ? "Connecting to " + current_->name + "\u2026"
                    : std::string("Looking for the Ostrel\u2026"));
    auto [link, resetAt] = host_.disconnect();
    if (link) CloseAfterSettle(std::move(link), resetAt);
    // Otherwise the link that is settling closes first.
    if (!closing_) Act();
}

void ConnectionSteps::Act() {
    if (current_->kind == Step::Kind::Connect) {
        if (!host_.open(current_->name)) {
            current_.reset();
            Next();
            return;
        }
        identifying_ = true;
        session_.Identify();
        return;
    }
    PortSearch::Callbacks callbacks;
    callbacks.tried = host_.tried;
    callbacks.awaiting = [this](size_t index) {
        const std::vector<std::string>& names = search_->names();
        SetActivity("Looking for the Ostrel: " + names[index] + " (" + std::to_string(index + 1) +
                    " of " + std::to_string(names.size()) + ")\u2026");
    };
    callbacks.finished = [this](std::optional<std::string> found, std::unique_ptr<Serial> link) {
        OnSearchEnded(std::move(found), std::move(link));
    };
    search_ = std::make_unique<PortSearch>(host_.portNames(), host_.baudRate(), probePorts_,
                                           std::move(callbacks));
    search_->Start();
}

void ConnectionSteps::CloseAfterSettle(std::unique_ptr<Serial> link, uint64_t resetAt) {
    closing_ = std::move(link);
    closeAt_ = resetAt + HandleCAN::kDisconnectSettleMs;
    const uint64_t now = TickCount();
    closeTimer_.start(static_cast<int>(closeAt_ > now ? closeAt_ - now : 0));
}

void ConnectionSteps::OnSettled() {
    // A timer may end a little early at millisecond resolution; the device gets its whole wait.
    BusyWaitUntil(closeAt_);
    closing_.reset();
    if (current_)
        Act();
    else
        host_.changed();
}

void ConnectionSteps::OnIdentifySent() {
    if (!identifying_) return;
    identifying_ = false;
    current_.reset();
    Next();
}

void ConnectionSteps::OnSearchEnded(std::optional<std::string> found,
                                    std::unique_ptr<Serial> link) {
    // Its callback is still running.
    search_.release()->deleteLater();
    current_.reset();
    if (found) {
        // The port found goes through the Disconnect steps before it is opened afresh, as the
        // link it was probed on would.
        const uint64_t resetAt = DeviceProbe::ResetDevice(*link);
        CloseAfterSettle(std::move(link), resetAt);
        host_.found(*found);
        queue_.push_front({Step::Kind::Connect, *found});
    } else {
        if (queue_.empty()) SetActivity({});
        host_.foundNone();
    }
    Next();
}

void ConnectionSteps::Cancel() {
    queue_.clear();
    search_.reset();
    if (identifying_) {
        identifying_ = false;
        session_.LinkLost();
        host_.dropLink();
    }
    current_.reset();
    SetActivity({});
}

void ConnectionSteps::SetActivity(std::string activity) {
    if (activity == activity_) return;
    activity_ = std::move(activity);
    host_.changed();
}
