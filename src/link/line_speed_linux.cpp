// Linux's terminal settings with the rate as a number; <termios.h> cannot be included beside
// them.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "link/line_speed.h"

bool SetLineSpeed(int fd, int rate) {
    termios2 settings{};
    if (rate <= 0 || ioctl(fd, TCGETS2, &settings) != 0) return false;
    settings.c_cflag &= ~CBAUD;
    settings.c_cflag |= BOTHER;
    settings.c_ispeed = static_cast<speed_t>(rate);
    settings.c_ospeed = static_cast<speed_t>(rate);
    return ioctl(fd, TCSETS2, &settings) == 0;
}

int LineSpeed(int fd) {
    termios2 settings{};
    return ioctl(fd, TCGETS2, &settings) == 0 ? static_cast<int>(settings.c_ospeed) : -1;
}
