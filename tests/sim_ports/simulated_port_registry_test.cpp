#include "sim_ports/simulated_port_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/port_names.h"

namespace fs = std::filesystem;

namespace {

// Points the registry at a folder of the test's own for its lifetime.
class IsolatedRegistry {
  public:
    IsolatedRegistry() { setenv("OSTREL_SIM_REGISTRY", folder().c_str(), 1); }
    ~IsolatedRegistry() { unsetenv("OSTREL_SIM_REGISTRY"); }
    std::string folder() const { return dir_.path().toStdString(); }

  private:
    QTemporaryDir dir_;
};

long DeadProcessId() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

void WriteEntry(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

}  // namespace

TEST(SimulatedPortRegistry, ListsLiveEntriesAndDeletesStaleOnes) {
    IsolatedRegistry registry;
    const fs::path folder = registry.folder();
    EXPECT_EQ(SimulatedPortRegistryFolder(), folder);
    const std::string livePort = "/dev/null";
    const fs::path deadOwner = folder / "1.port";
    const fs::path portGone = folder / "2.port";
    const fs::path garbled = folder / "3.port";
    WriteEntry(deadOwner, std::to_string(DeadProcessId()) + "\n/dev/null\n");
    WriteEntry(portGone, std::to_string(getpid()) + "\n/dev/pts/does-not-exist\n");
    WriteEntry(garbled, "12ab\n/dev/null\n");
    WriteEntry(folder / "notes.txt", "left alone");
    {
        SimulatedPortRegistration registration(livePort);
        ASSERT_TRUE(registration.Registered()) << registration.Error();
        EXPECT_EQ(ListSimulatedPorts(), std::vector<std::string>{livePort});
        EXPECT_FALSE(fs::exists(deadOwner));
        EXPECT_FALSE(fs::exists(portGone));
        EXPECT_FALSE(fs::exists(garbled));
        EXPECT_TRUE(fs::exists(folder / "notes.txt"));

        // The port enumeration lists simulated ports after the system's own.
        const std::vector<std::string> ports = EnumComPorts();
        ASSERT_FALSE(ports.empty());
        EXPECT_EQ(ports.back(), livePort);
    }
    EXPECT_TRUE(ListSimulatedPorts().empty()) << "the registration ends with its owner";
}

TEST(SimulatedPortRegistry, AFolderOthersCanWriteToIsNotTrusted) {
    IsolatedRegistry registry;
    ASSERT_EQ(chmod(registry.folder().c_str(), 0777), 0);
    WriteEntry(fs::path(registry.folder()) / "1.port", std::to_string(getpid()) + "\n/dev/null\n");
    EXPECT_TRUE(ListSimulatedPorts().empty());
    SimulatedPortRegistration registration("/dev/null");
    EXPECT_FALSE(registration.Registered());
    EXPECT_NE(registration.Error().find("only this user"), std::string::npos);
}
