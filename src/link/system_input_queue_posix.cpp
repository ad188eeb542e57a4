#include <sys/ioctl.h>

#include "link/system_input_queue.h"

int SystemInputQueue(const QSerialPort& port) {
    int queued = 0;
    return ioctl(port.handle(), FIONREAD, &queued) == 0 ? queued : 0;
}
