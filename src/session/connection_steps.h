#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class HandleCAN;
class PortSearch;
class Serial;
class SerialPortDevice;

// The connection commands as steps that wait on timers, never busily, one command at a time.
// Every step first runs the window's Disconnect and leaves the old link open, unread, for the
// device's settle after the reset; then it connects to a port (open, reset, 500 ms, 'Y') or
// searches the ports for the device and connects to the one found.
class ConnectionSteps : public QObject {
    Q_OBJECT
  public:
    // What the steps need of the window.
    struct Host {
        // The Disconnect command up to its wait: the link it reset, and the tick count of the
        // reset; no link when none was open.
        std::function<std::pair<std::unique_ptr<Serial>, uint64_t>()> disconnect;
        // Makes a link on `name` the current one; false when the port did not open, which the
        // host has already told.
        std::function<bool(const std::string& name)> open;
        // Closes the current link without a byte more, as a cancelled handshake leaves it.
        std::function<void()> dropLink;
        std::function<std::vector<std::string>()> portNames;
        std::function<int()> baudRate;
        // A port the search tried (in list order), the port it found, or that it found none.
        std::function<void(const std::string& name)> tried;
        std::function<void(const std::string& name)> found;
        std::function<void()> foundNone;
        // Activity() changed.
        std::function<void()> changed;
    };

    // `probePorts` are the serial-port components the search may run its probes on, one port
    // each at a time.
    ConnectionSteps(HandleCAN& session, Host host, std::vector<SerialPortDevice*> probePorts);
    ~ConnectionSteps() override;

    // Each ends what was running first (see Cancel).
    void Connect(const std::string& name);
    // Connect, then Auto Detect: the device's answer is only handled after the command.
    void ConnectThenDetect(const std::string& name);
    void Detect();
    // Starts from the event loop: the caller's work (showing the window) comes first.
    void DetectLater();
    void ConnectLater(const std::string& name);

    // Keeps `link`, unread, until kDisconnectSettleMs after `resetAt`, then closes it; the
    // next step waits for that.
    void CloseAfterSettle(std::unique_ptr<Serial> link, uint64_t resetAt);
    // Ends the running command: a link in its handshake or probes is closed without a byte
    // more, and nothing of the command follows. A link settling after its reset still closes
    // on time.
    void Cancel();

    // A command runs (it can be cancelled).
    bool Running() const { return current_.has_value() || !queue_.empty(); }
    // A command runs or a link is settling before it closes.
    bool Busy() const { return Running() || closing_ != nullptr; }
    // What the running command does, in words for the status bar; empty when none runs.
    const std::string& Activity() const { return activity_; }

  private:
    struct Step {
        enum class Kind { Connect, Detect } kind;
        std::string name;  // of a Connect
    };

    void Run(std::vector<Step> steps, bool later);
    void Next();
    void Act();
    void OnSettled();
    void OnIdentifySent();
    void OnSearchEnded(std::optional<std::string> found, std::unique_ptr<Serial> link);
    void SetActivity(std::string activity);

    HandleCAN& session_;
    Host host_;
    std::vector<SerialPortDevice*> probePorts_;
    std::deque<Step> queue_;
    std::optional<Step> current_;
    bool identifying_ = false;
    std::unique_ptr<PortSearch> search_;
    std::unique_ptr<Serial> closing_;
    uint64_t closeAt_ = 0;
    QTimer closeTimer_;
    std::string activity_;
};
