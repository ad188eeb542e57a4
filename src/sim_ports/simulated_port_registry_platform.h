#pragma once

#include <filesystem>
#include <string>

// The operating-system calls of the simulated-port registry, one file per platform.

// The registry folder when no override is set; empty when the platform cannot name one.
std::filesystem::path DefaultSimulatedPortFolder();
// Creates `folder` when `create` is set and it is missing, and checks that it is a real
// folder that only the current user can write to. False, with `error`, when it is not usable.
bool PrepareSimulatedPortFolder(const std::filesystem::path& folder, bool create,
                                std::string& error);
long CurrentProcessId();
// True while process `pid` runs and belongs to the current user.
bool ProcessOfCurrentUserAlive(long pid);
