#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Simulated devices (ostrel-sim) announce their pseudo-terminals here so that the port
// enumeration lists them while they run. Each running simulator owns one small file in a
// per-user folder naming its process and its port; a file whose process has ended or whose
// port is gone is stale and is deleted when it is seen, so a killed simulator is never listed.
//
// The folder is $XDG_RUNTIME_DIR/ostrel-sim, or /tmp/ostrel-sim-<uid> without it. The
// environment variable OSTREL_SIM_REGISTRY names another folder; it exists so that tests run
// in isolation and is the only environment setting the program reads.

// The folder the registry uses now; empty when no usable folder can be named.
std::filesystem::path SimulatedPortRegistryFolder();

// A folder of the simulators' own, `name` inside the registry folder (for example the members of
// a shared bus), created when missing; empty, with `error`, when it or the registry folder is
// not one that only the current user can write to.
std::filesystem::path SimulatorSubfolder(const std::string& name, std::string& error);

// The ports of the simulators running now, ordered by process id. Stale entries are deleted.
std::vector<std::string> ListSimulatedPorts();

// One simulator's entry, from construction until destruction.
class SimulatedPortRegistration {
  public:
    // Registers `portPath` for the calling process; Registered() tells whether it worked.
    explicit SimulatedPortRegistration(const std::string& portPath);
    ~SimulatedPortRegistration();
    SimulatedPortRegistration(const SimulatedPortRegistration&) = delete;
    SimulatedPortRegistration& operator=(const SimulatedPortRegistration&) = delete;

    bool Registered() const { return !entry_.empty(); }
    // Why registering failed; empty when it worked.
    const std::string& Error() const { return error_; }

  private:
    std::filesystem::path entry_;
    std::string error_;
};
