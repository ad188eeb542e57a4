#include "sim_ports/simulated_port_registry.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "sim_ports/simulated_port_registry_platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderOverride = "OSTREL_SIM_REGISTRY";
constexpr const char* kNamePrefix = "ostrel-sim-";

// The registry folder when it is one that only the current user can write to; empty otherwise.
fs::path TrustedFolder() {
    const fs::path folder = SimulatedPortRegistryFolder();
    std::string error;
    if (folder.empty() || !PrepareSimulatedPortFolder(folder, false, error)) return {};
    return folder;
}

// The link behind a simulator's port name: the name as listed, or the link's own path in the
// registry folder; empty for the name of any other port.
fs::path LinkOf(const std::string& name, const fs::path& folder) {
    const fs::path path(name);
    if (path == path.filename() && name.rfind(kNamePrefix, 0) == 0) return folder / path;
    if (path.lexically_normal().parent_path() == (folder / "").lexically_normal().parent_path())
        return path;
    return {};
}

// What the name `link` reaches while its simulator runs; a stale name is deleted.
std::optional<SimulatorTerminal> Follow(const fs::path& link) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(link, ec))) return std::nullopt;
    const std::optional<SimulatorTerminal> terminal =
        LiveSimulatorTerminal(fs::read_symlink(link, ec).string());
    if (!terminal) fs::remove(link, ec);
    return terminal;
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
    const fs::path folder = TrustedFolder();
    if (folder.empty()) return {};
    std::vector<std::pair<long, std::string>> live;
    std::error_code ec;
    // Other entries (the folders of shared buses) are not names.
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
        if (const std::optional<SimulatorTerminal> terminal = Follow(entry.path()))
            live.emplace_back(terminal->pid, entry.path().filename().string());
    std::sort(live.begin(), live.end());
    std::vector<std::string> ports;
    for (auto& [pid, name] : live) ports.push_back(std::move(name));
    return ports;
}

std::string SimulatedPortDevice(const std::string& name) {
    const fs::path folder = SimulatedPortRegistryFolder();
    const fs::path link = folder.empty() ? fs::path() : LinkOf(name, folder);
    if (link.empty()) return name;
    // The link itself is not opened: the check and the open then reach the same descriptor.
    const std::optional<SimulatorTerminal> terminal =
        TrustedFolder().empty() ? std::nullopt : Follow(link);
    return terminal ? terminal->device : AbsentDevicePath();
}

SimulatedPortAnnouncement::SimulatedPortAnnouncement(int terminalFd,
                                                     const std::string& chosenName) {
    const fs::path folder = SimulatedPortRegistryFolder();
    if (folder.empty()) {
        error_ = "no folder for the port registry";
        return;
    }
    if (!PrepareSimulatedPortFolder(folder, true, error_)) return;
    NameProcessAsSimulator();
    ListSimulatedPorts();  // deletes the names of ended simulators
    const bool chosen = !chosenName.empty();
    const fs::path link =
        folder / (kNamePrefix + (chosen ? chosenName : std::to_string(CurrentProcessId())));
    std::error_code ec;
    // A name of this process id can only be left by an ended process; a chosen name still there
    // after the stale ones went belongs to a running simulator.
    if (!chosen) fs::remove(link, ec);
    fs::create_symlink(OwnDescriptorPath(terminalFd), link, ec);
    if (ec == std::errc::file_exists) {
        error_ = link.filename().string() + " is the port of a running simulator";
        return;
    }
    if (ec) {
        error_ = "cannot create " + link.string() + ": " + ec.message();
        return;
    }
    link_ = link;
}

SimulatedPortAnnouncement::~SimulatedPortAnnouncement() {
    if (link_.empty()) return;
    std::error_code ignored;
    fs::remove(link_, ignored);
}
