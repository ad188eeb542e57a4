#include "sim_ports/simulated_port_registry.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "sim_ports/simulated_port_registry_platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderOverride = "OSTREL_SIM_REGISTRY";
constexpr const char* kEntryExtension = ".port";
// An entry is two short lines; anything longer was not written by a simulator.
constexpr std::streamsize kMaxEntrySize = 4096;

struct Entry {
    long pid = 0;
    std::string port;
};

// An entry file holds the owner's process id and the port path, one per line.
bool ReadEntry(const fs::path& file, Entry& entry) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string text(static_cast<size_t>(kMaxEntrySize) + 1, '\0');
    in.read(text.data(), kMaxEntrySize + 1);
    if (in.gcount() > kMaxEntrySize) return false;
    text.resize(static_cast<size_t>(in.gcount()));
    std::istringstream lines(text);
    std::string pidLine;
    if (!std::getline(lines, pidLine) || !std::getline(lines, entry.port)) return false;
    if (pidLine.empty() || pidLine.find_first_not_of("0123456789") != std::string::npos ||
        pidLine.size() > 9)
        return false;
    entry.pid = std::strtol(pidLine.c_str(), nullptr, 10);
    return entry.pid > 0 && fs::path(entry.port).is_absolute();
}

bool EntryIsLive(const Entry& entry) {
    std::error_code ignored;
    return ProcessOfCurrentUserAlive(entry.pid) && fs::exists(entry.port, ignored);
}

}  // namespace

fs::path SimulatedPortRegistryFolder() {
    const char* override = std::getenv(kFolderOverride);
    if (override != nullptr && *override != '\0') return fs::path(override);
    return DefaultSimulatedPortFolder();
}

fs::path SimulatorSubfolder(const std::string& name, std::string& error) {
    const fs::path folder = SimulatedPortRegistryFolder();
    if (folder.empty()) {
        error = "no folder for the simulators";
        return {};
    }
    const fs::path subfolder = folder / name;
    if (!PrepareSimulatedPortFolder(folder, true, error) ||
        !PrepareSimulatedPortFolder(subfolder, true, error))
        return {};
    return subfolder;
}

std::vector<std::string> ListSimulatedPorts() {
    const fs::path folder = SimulatedPortRegistryFolder();
    std::string error;
    if (folder.empty() || !PrepareSimulatedPortFolder(folder, false, error)) return {};
    std::vector<Entry> live;
    std::error_code ec;
    for (const fs::directory_entry& file : fs::directory_iterator(folder, ec)) {
        if (file.path().extension() != kEntryExtension) continue;
        Entry entry;
        if (ReadEntry(file.path(), entry) && EntryIsLive(entry)) {
            live.push_back(entry);
        } else {
            std::error_code ignored;
            fs::remove(file.path(), ignored);
        }
    }
    std::sort(live.begin(), live.end(),
              [](const Entry& a, const Entry& b) { return a.pid < b.pid; });
    std::vector<std::string> ports;
    for (const Entry& entry : live) ports.push_back(entry.port);
    return ports;
}

SimulatedPortRegistration::SimulatedPortRegistration(const std::string& portPath) {
    const fs::path folder = SimulatedPortRegistryFolder();
    if (folder.empty()) {
        error_ = "no folder for the port registry";
        return;
    }
    if (!PrepareSimulatedPortFolder(folder, true, error_)) return;
    const std::string pid = std::to_string(CurrentProcessId());
    const fs::path entry = folder / (pid + kEntryExtension);
    const fs::path partial = folder / (pid + ".partial");
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << pid << '\n' << portPath << '\n';
        if (!out.flush()) {
            error_ = "cannot write " + partial.string();
            return;
        }
    }
    // Renamed into place so that a lister never reads half an entry.
    std::error_code ec;
    fs::rename(partial, entry, ec);
    if (ec) {
        error_ = "cannot write " + entry.string() + ": " + ec.message();
        fs::remove(partial, ec);
        return;
    }
    entry_ = entry;
}

SimulatedPortRegistration::~SimulatedPortRegistration() {
    if (entry_.empty()) return;
    std::error_code ignored;
    fs::remove(entry_, ignored);
}
