#pragma once

#include <string>
#include <vector>

// The name the platform opens for a configured port name. On Linux "COMn" (n >= 1) is
// /dev/ttyS<n-1>, a simulator's announced name is its terminal while it runs and a missing port
// once it has ended; any other name is used as it is ("ttyUSB0", "/dev/pts/4").
std::string PlatformPortName(const std::string& name);

// The PC's serial ports, in the order the enumeration gives them, then the running simulators'
// names.
std::vector<std::string> EnumComPorts();
