#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The operating-system calls of the simulated-port registry, one file per platform.

// The registry folder when no override is set; empty when the platform cannot name one.
std::filesystem::path DefaultSimulatedPortFolder();
// Creates `folder` when `create` is set and it is missing, and checks that it is a real
// folder that only the current user can write to. False, with `error`, when it is not usable.
bool PrepareSimulatedPortFolder(const std::filesystem::path& folder, bool create,
                                std::string& error);
long CurrentProcessId();

// Gives the calling process the name by which LiveSimulatorTerminal knows a simulator.
void NameProcessAsSimulator();
// The path through which other processes reach descriptor `fd` of the calling process while it
// runs; a simulator's name links to it.
std::string OwnDescriptorPath(int fd);

struct SimulatorTerminal {
    long pid = 0;
    // The path that opens the terminal: the simulator's own descriptor of it.
    std::string device;
};
// What the link target `target` (an OwnDescriptorPath of some process) reaches, when that
// process is a running simulator of the current user and the descriptor is a pseudo-terminal.
std::optional<SimulatorTerminal> LiveSimulatorTerminal(const std::string& target);

// A path that never exists: opening it fails as a missing port does.
std::string AbsentDevicePath();
