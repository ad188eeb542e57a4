#include <poll.h>

#include "link/line_hang_up.h"

bool LineHungUp(const QSerialPort& port) {
    pollfd line{port.handle(), 0, 0};  // POLLHUP and POLLERR come without being asked for
    return poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}
