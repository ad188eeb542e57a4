#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "packet_trace.h"

// One running ostrel-sim from the build tree, with a trace file and a port registry folder of
// its own. The destructor ends it (SIGTERM, then SIGKILL) whatever the test did, and the
// simulator also gets SIGTERM should the test process die first.
class SimProcess {
  public:
    // Starts the simulator with `arguments` and waits for the port path it prints. Without
    // `traced` it writes no trace, which would cost it a write per packet under heavy traffic.
    // It uses the port registry folder `registry` (shared, say, with another simulator on the
    // same bus), or one of its own when that is empty; the test process then looks there too.
    explicit SimProcess(const QStringList& arguments, bool traced = true,
                        const std::string& registry = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Empty when the simulator did not start.
    const std::string& port() const { return port_; }
    const std::string& RegistryFolder() const { return registry_; }

    // Every complete line of the trace so far, in order.
    std::vector<TracedPacket> Trace() const;
    // The packets of one direction (TracedPacket::kFromPc or kToPc).
    std::vector<TracedPacket> Trace(char direction) const;

    void Signal(int number);
    // Waits for the simulator to end; true when it did.
    bool WaitForExit(int timeoutMs);
    int ExitCode() const { return process_.exitCode(); }
    // What it printed to standard error so far.
    std::string StandardError();
    // Asks for the simulator's counters (SIGUSR1) and returns the report it prints, running the
    // event loop while it waits; what arrived by then when `timeoutMs` passes first.
    std::string Counters(int timeoutMs);

    // Runs the simulator to its end with `arguments` and no terminal use expected (bad options,
    // --help): its exit code and both outputs.
    struct Outcome {
        int exitCode = -1;
        std::string standardOutput;
        std::string standardError;
    };
    static Outcome RunToEnd(const QStringList& arguments);

  private:
    QTemporaryDir folder_;
    std::string registry_;
    QProcess process_;
    std::string port_;
    std::string standardError_;
};
