#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "sim_ports/simulated_port_registry_platform.h"

namespace fs = std::filesystem;

namespace {

// At most 15 characters, the length of a Linux process name.
constexpr const char* kSimulatorProcessName = "ostrel-sim";
constexpr const char* kPseudoTerminalFolder = "/dev/pts/";

bool AllDigits(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// "/proc/<pid>/fd/<n>" split into its two numbers; false for any other text.
bool ParseDescriptorPath(const std::string& path, std::string& pid, std::string& fd) {
    const std::string prefix = "/proc/";
    const std::string middle = "/fd/";
    if (path.compare(0, prefix.size(), prefix) != 0) return false;
    const size_t split = path.find(middle, prefix.size());
    if (split == std::string::npos) return false;
    pid = path.substr(prefix.size(), split - prefix.size());
    fd = path.substr(split + middle.size());
    return AllDigits(pid) && AllDigits(fd);
}

bool ProcessOfCurrentUser(const fs::path& processFolder) {
    struct stat info {};
    return stat(processFolder.c_str(), &info) == 0 && info.st_uid == getuid();
}

std::string ProcessName(const fs::path& processFolder) {
    std::ifstream in(processFolder / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

}  // namespace

fs::path DefaultSimulatedPortFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/') return fs::path(runtime) / "ostrel-sim";
    return fs::path("/tmp") / ("ostrel-sim-" + std::to_string(getuid()));
}

bool PrepareSimulatedPortFolder(const fs::path& folder, bool create, std::string& error) {
    if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder.string();
        return false;
    }
    // Anyone who can write here could announce ports of their choosing: in a shared /tmp
    // the folder must be a real one of ours that nobody else can write to.
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        error = folder.string() + " does not exist";
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 022) != 0) {
        error = folder.string() + " is not a folder that only this user can write to";
        return false;
    }
    return true;
}

long CurrentProcessId() {
    return static_cast<long>(getpid());
}

void NameProcessAsSimulator() {
    prctl(PR_SET_NAME, kSimulatorProcessName, 0, 0, 0);
}

std::string OwnDescriptorPath(int fd) {
    return "/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(fd);
}

std::optional<SimulatorTerminal> LiveSimulatorTerminal(const std::string& target) {
    std::string pid, fd;
    if (!ParseDescriptorPath(target, pid, fd)) return std::nullopt;
    // The process id may have passed to another program since the simulator ended: it must
    // still be a simulator of ours, and the descriptor still a pseudo-terminal.
    const fs::path process = fs::path("/proc") / pid;
    if (!ProcessOfCurrentUser(process) || ProcessName(process) != kSimulatorProcessName)
        return std::nullopt;
    const fs::path descriptor = process / "fd" / fd;
    std::error_code ec;
    const std::string terminal = fs::read_symlink(descriptor, ec).string();
    if (ec ||
        terminal.compare(0, std::string(kPseudoTerminalFolder).size(), kPseudoTerminalFolder) != 0)
        return std::nullopt;
    return SimulatorTerminal{std::strtol(pid.c_str(), nullptr, 10), descriptor.string()};
}

std::string AbsentDevicePath() {
    // Descriptor folders hold numbers only.
    return "/proc/self/fd/absent";
}
