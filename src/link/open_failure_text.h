#pragma once

#include <string>

// Why the device file `devicePath` could not be opened as a serial port, in words for the user,
// from the system's error number: no such port, permission denied and how to get it, or port
// busy.
std::string OpenFailureText(int error, const std::string& devicePath);
