// Why a port could not be opened, as PosixSerialPortDevice reports it for the log.
#include "link/open_failure_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/posix_serial_port_device.h"
#include "link/serial.h"
#include "pseudo_terminal.h"

namespace {

bool OpenOn(PosixSerialPortDevice& device, const std::string& name) {
    device.SetPortName(name);
    return device.Open();
}

TEST(OpenFailureText, NamesTheCauseOfASystemError) {
    const struct {
        int error;
        std::string text;
    } cases[] = {
        {ENOENT, "no such port"},
        {ENXIO, "no such port"},
        {ENODEV, "no such port"},
        {EBUSY, "port busy: another program has it open"},
        {EWOULDBLOCK, "port busy: another program has it open"},
        {EIO, std::strerror(EIO)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenFailureText(c.error, "/dev/ttyS0"), c.text) << c.error;
    for (int error : {EACCES, EPERM})
        EXPECT_EQ(OpenFailureText(error, "/dev/ttyS0").rfind("permission denied", 0), 0u) << error;
}

TEST(OpenFailureText, TellsAMissingPortFromABusyOne) {
    PosixSerialPortDevice device;
    EXPECT_FALSE(OpenOn(device, "/dev/brannox-no-such-port"));
    EXPECT_EQ(device.OpenErrorText(), "no such port");

    PseudoTerminal pty;
    PosixSerialPortDevice holder;
    ASSERT_TRUE(OpenOn(holder, pty.SlavePath()));
    EXPECT_FALSE(OpenOn(device, pty.SlavePath()));
    EXPECT_EQ(device.OpenErrorText(), "port busy: another program has it open");

    // A later successful open leaves no reason behind.
    holder.Close();
    EXPECT_TRUE(OpenOn(device, pty.SlavePath()));
    EXPECT_EQ(device.OpenErrorText(), "");
    device.Close();
}

TEST(OpenFailureText, APortTheUserMayNotOpenSaysHowToGetPermission) {
    if (geteuid() == 0) GTEST_SKIP() << "root may open any port";
    PseudoTerminal pty;
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0), 0);
    PosixSerialPortDevice device;
    EXPECT_FALSE(OpenOn(device, pty.SlavePath()));
    const std::string text = device.OpenErrorText();
    EXPECT_EQ(text.rfind("permission denied; add your user to the group ", 0), 0u) << text;
    EXPECT_NE(text.find("sudo usermod -aG "), std::string::npos) << text;
}

}  // namespace
