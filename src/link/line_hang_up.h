#pragma once

#include <QSerialPort>

// True when the line behind the open `port` has hung up: the device was unplugged, or the far
// side of a pseudo-terminal closed. Such a line reads as end of file, which QSerialPort
// reports only as a read error.
bool LineHungUp(const QSerialPort& port);
