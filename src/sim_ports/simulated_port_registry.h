#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Simulated devices (ostrel-sim) announce their pseudo-terminals here so that the port
// enumeration lists them while they run. Each running simulator owns one port name,
// ostrel-sim-<process id> or ostrel-sim-<a name of the user's>, which the PC lists, opens and
// saves: a symbolic link of that name in a per-user folder to the terminal descriptor the
// simulator holds open (/proc/<process id>/fd/<n>), never to the terminal's own /dev/pts/N.
// Once the simulator is gone the name leads nowhere, so a saved name can never reach a terminal
// that another program got later under the same number; the link is deleted when seen stale.
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

// The port names of the simulators running now, ordered by process id. Stale names are deleted.
std::vector<std::string> ListSimulatedPorts();

// What to open for the port name `name`. For a simulator's name (as listed, or the path of its
// link in the registry folder), while that simulator runs: its own descriptor of its terminal,
// checked to be one; once it has ended (or when the folder is not this user's alone): a path
// that does not exist, so the open finds no such port and nothing is written. Any other name is
// returned as it is.
std::string SimulatedPortDevice(const std::string& name);

// The calling process's announcement of the terminal it holds open as `terminalFd`, from
// construction until destruction, under ostrel-sim-<chosenName> (a valid file name) or, without
// one, ostrel-sim-<process id>. It also names the process as a simulator and deletes the stale
// names of ended ones; a chosen name that a running simulator holds is not taken.
class SimulatedPortAnnouncement {
  public:
    explicit SimulatedPortAnnouncement(int terminalFd, const std::string& chosenName = {});
    ~SimulatedPortAnnouncement();
    SimulatedPortAnnouncement(const SimulatedPortAnnouncement&) = delete;
    SimulatedPortAnnouncement& operator=(const SimulatedPortAnnouncement&) = delete;

    bool Announced() const { return !link_.empty(); }
    // The port name, as the PC lists it; empty when announcing failed.
    std::string Name() const { return link_.filename().string(); }
    // The link of that name, which other programs can open while the simulator runs.
    const std::filesystem::path& Link() const { return link_; }
    // Why announcing failed; empty when it worked.
    const std::string& Error() const { return error_; }

  private:
    std::filesystem::path link_;
    std::string error_;
};
