#include "link/qt_serial_port_device.h"
