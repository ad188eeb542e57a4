// Why a port could not be opened, as QtSerialPortDevice reports it for the log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/qt_serial_port_device.h"
#include "link/serial.h"
#include "pseudo_terminal.h"

namespace {

bool OpenOn(QtSerialPortDevice& device, const std::string& name) {
    device.SetPortName(name);
    return device.Open();
}

TEST(OpenFailureText, TellsAMissingPortFromABusyOne) {
    QtSerialPortDevice device;
    EXPECT_FALSE(OpenOn(device, "/dev/brannox-no-such-port"));
    EXPECT_EQ(device.OpenErrorText(), "no such port");

    PseudoTerminal pty;
    QtSerialPortDevice holder;
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
    QtSerialPortDevice device;
    EXPECT_FALSE(OpenOn(device, pty.SlavePath()));
    const std::string text = device.OpenErrorText();
    EXPECT_EQ(text.rfind("permission denied; add your user to the group ", 0), 0u) << text;
    EXPECT_NE(text.find("sudo usermod -aG "), std::string::npos) << text;
}

}  // namespace
