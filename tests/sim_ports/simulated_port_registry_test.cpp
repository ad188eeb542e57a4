#include "sim_ports/simulated_port_registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Points the registry at a folder of the test's own for its lifetime.
class IsolatedRegistry {
  public:
    IsolatedRegistry() { setenv("OSTREL_SIM_REGISTRY", folder().c_str(), 1); }
    ~IsolatedRegistry() { unsetenv("OSTREL_SIM_REGISTRY"); }
    fs::path folder() const { return dir_.path().toStdString(); }

  private:
    QTemporaryDir dir_;
};

// A pseudo-terminal whose slave side this process holds open.
struct OwnTerminal {
    OwnTerminal() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    }
    ~OwnTerminal() {
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
    }
    int master = -1;
    int slave = -1;
};

dev_t DeviceOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_rdev : 0;
}

// A process of this user that is not a simulator, holding a terminal: what a simulator's
// process id may belong to after it ended.
class OtherProgram {
  public:
    OtherProgram() {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_NAME, "other-program", 0, 0, 0);
            OwnTerminal terminal;
            (void)!write(pipeFds[1], &terminal.slave, sizeof terminal.slave);
            pause();
            _exit(0);
        }
        if (read(pipeFds[0], &fd_, sizeof fd_) != sizeof fd_) fd_ = -1;
        close(pipeFds[0]);
        close(pipeFds[1]);
    }
    ~OtherProgram() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::string TerminalDescriptor() const {
        return "/proc/" + std::to_string(pid_) + "/fd/" + std::to_string(fd_);
    }

  private:
    pid_t pid_ = -1;
    int fd_ = -1;
};

}  // namespace

TEST(SimulatedPortRegistry, AnnouncesANameThatLeadsToItsTerminalWhileItLives) {
    IsolatedRegistry registry;
    const fs::path folder = registry.folder();
    EXPECT_EQ(SimulatedPortRegistryFolder(), folder);
    OtherProgram other;
    fs::create_symlink("/dev/null", folder / "to-a-device");
    fs::create_symlink(other.TerminalDescriptor(), folder / "of-another-program");
    fs::create_directory(folder / "bus-x");
    std::ofstream(folder / "notes.txt") << "left alone";
    OwnTerminal terminal;
    ASSERT_GE(terminal.slave, 0);
    std::string name;
    {
        SimulatedPortAnnouncement announcement(terminal.slave);
        ASSERT_TRUE(announcement.Announced()) << announcement.Error();
        name = announcement.Name();
        EXPECT_EQ(name, "ostrel-sim-" + std::to_string(getpid()));
        EXPECT_EQ(announcement.Link(), folder / name);
        EXPECT_EQ(ListSimulatedPorts(), std::vector<std::string>{name});
        const std::vector<fs::path> left = {folder / "bus-x", folder / "notes.txt", folder / name};
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_NE(std::find(left.begin(), left.end(), entry.path()), left.end())
                << entry.path() << " is stale";
        for (const std::string& path : {name, (folder / name).string()})
            EXPECT_EQ(DeviceOf(SimulatedPortDevice(path)), DeviceOf(ptsname(terminal.master)));
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / name))) << "the name ends with its owner";
    EXPECT_TRUE(ListSimulatedPorts().empty());
    EXPECT_FALSE(fs::exists(SimulatedPortDevice(name)));
    EXPECT_EQ(SimulatedPortDevice("/dev/pts/4"), "/dev/pts/4") << "not a simulator's name";
}

TEST(SimulatedPortRegistry, ANameLeftBehindNeverLeadsToAnotherProgramsTerminal) {
    IsolatedRegistry registry;
    OtherProgram other;  // has the process id of the ended simulator
    const fs::path link = registry.folder() / "ostrel-sim-1";
    fs::create_symlink(other.TerminalDescriptor(), link);
    EXPECT_FALSE(fs::exists(SimulatedPortDevice("ostrel-sim-1")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "a stale name goes when seen";
}

TEST(SimulatedPortRegistry, AFolderOthersCanWriteToIsNotTrusted) {
    IsolatedRegistry registry;
    OwnTerminal terminal;
    SimulatedPortAnnouncement announcement(terminal.slave);
    ASSERT_TRUE(announcement.Announced());
    ASSERT_EQ(chmod(registry.folder().c_str(), 0777), 0);
    EXPECT_TRUE(ListSimulatedPorts().empty());
    EXPECT_FALSE(fs::exists(SimulatedPortDevice(announcement.Link())));
    SimulatedPortAnnouncement another(terminal.slave);
    EXPECT_FALSE(another.Announced());
    EXPECT_NE(another.Error().find("only this user"), std::string::npos);
}

TEST(SimulatedPortRegistry, AChosenNameIsTakenOnlyWhenNoRunningSimulatorHoldsIt) {
    IsolatedRegistry registry;
    OwnTerminal terminal;
    {
        SimulatedPortAnnouncement first(terminal.slave, "bench");
        ASSERT_EQ(first.Name(), "ostrel-sim-bench") << first.Error();
        SimulatedPortAnnouncement second(terminal.slave, "bench");
        EXPECT_FALSE(second.Announced());
        EXPECT_NE(second.Error().find("running simulator"), std::string::npos) << second.Error();
    }
    fs::create_symlink("/proc/1/fd/0", registry.folder() / "ostrel-sim-bench");  // left behind
    EXPECT_EQ(SimulatedPortAnnouncement(terminal.slave, "bench").Name(), "ostrel-sim-bench");
}
