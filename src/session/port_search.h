#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Serial;
class SerialPortDevice;
namespace DeviceProbe {
class Exchange;
}

// Auto Detect's search: the probe exchange on the ports of a list, as many at once as there
// are serial-port components to run them on, each port seeing the bytes and waits of one
// exchange. The outcomes are told in list order, and the port found is the first in the list
// whose device answered; ports after it are not tried further. Destroying the search closes
// every link it has open.
class PortSearch : public QObject {
    Q_OBJECT
  public:
    struct Callbacks {
        // A port tried, in list order, up to and including the one found; also the ports that
        // did not open.
        std::function<void(const std::string& name)> tried;
        // The port whose outcome is awaited next: its index in the list.
        std::function<void(size_t index)> awaiting;
        // The end: the port found and its link, still open, or none. The search may be
        // destroyed from here.
        std::function<void(std::optional<std::string> found, std::unique_ptr<Serial> link)>
            finished;
    };

    PortSearch(std::vector<std::string> names, int baudRate, std::vector<SerialPortDevice*> ports,
               Callbacks callbacks);
    ~PortSearch() override;

    void Start();
    const std::vector<std::string>& names() const { return names_; }

  private:
    enum class Outcome { NotStarted, Running, Absent, Answered };
    struct Probe {
        Outcome outcome = Outcome::NotStarted;
        SerialPortDevice* port = nullptr;
        std::unique_ptr<Serial> link;
        std::unique_ptr<DeviceProbe::Exchange> exchange;
    };

    void StartMore();
    void StartProbe(size_t index, SerialPortDevice& port);
    void OnAnswer(size_t index, bool answered);
    // Frees the probe's component for the next port.
    void CloseProbe(Probe& probe);
    // Tells the outcomes known in list order; true when the search ended.
    bool Report();
    // Reports, and tells the port awaited next while the search goes on.
    void Advance();

    std::vector<std::string> names_;
    int baudRate_;
    std::vector<SerialPortDevice*> freePorts_;
    Callbacks callbacks_;
    std::vector<Probe> probes_;
    size_t nextToStart_ = 0;
    size_t nextToReport_ = 0;
    size_t firstAnswered_;  // the list's size while none answered
    bool ended_ = false;
};
