#pragma once

#include <QSerialPort>

// Bytes that the operating system holds for the open `port` and the port has not read yet;
// 0 when the system cannot tell.
int SystemInputQueue(const QSerialPort& port);
