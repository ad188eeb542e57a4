#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "sim_ports/simulated_port_registry_platform.h"

namespace fs = std::filesystem;

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

bool ProcessOfCurrentUserAlive(long pid) {
    // A process of another user answers EPERM: it cannot be one of our simulators.
    return pid > 0 && kill(static_cast<pid_t>(pid), 0) == 0;
}
