#pragma once

#include <string>

class QSerialPort;

// Why `port` could not be opened, in words for the user, from the error its open left: no such
// port, permission denied and how to get it, or port busy.
std::string OpenFailureText(const QSerialPort& port);
