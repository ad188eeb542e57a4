#include "link/port_names.h"

#include <gtest/gtest.h>

TEST(PortNames, ComNamesMapToLinuxDevices) {
    EXPECT_EQ(PlatformPortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(PlatformPortName("COM12"), "/dev/ttyS11");
    for (const char* unchanged : {"ttyUSB0", "/dev/pts/4", "COM0", "COMx", "COM", "COM1a", "com3"})
        EXPECT_EQ(PlatformPortName(unchanged), unchanged);
}
