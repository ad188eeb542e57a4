#include "terminal_posix.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string Reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

std::unique_ptr<Terminal> Terminal::OpenPseudoTerminal(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) {
        error = Reason("cannot open a pseudo-terminal");
        return nullptr;
    }
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        error = Reason("cannot set up the pseudo-terminal");
        close(master);
        return nullptr;
    }
    const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    // Raw before the PC opens it: with echo on, the device's own bytes would come back to it.
    if (slave < 0 || !MakeRaw(slave)) {
        error = Reason(std::string("cannot open ") + name);
        if (slave >= 0) close(slave);
        close(master);
        return nullptr;
    }
    return std::unique_ptr<Terminal>(new Terminal(master, slave, name));
}

std::unique_ptr<Terminal> Terminal::OpenDevice(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Reason("cannot open " + path);
        return nullptr;
    }
    if (!MakeRaw(fd)) {
        error = Reason(path + " is not a terminal");
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<Terminal>(new Terminal(fd, -1, path));
}

int Terminal::UnreadByPc() const {
    // The simulator's own slave descriptor sees the input queue that the PC reads from.
    int waiting = 0;
    if (slaveFd_ < 0 || ioctl(slaveFd_, FIONREAD, &waiting) != 0) return 0;
    return waiting;
}

void Terminal::Close() {
    if (slaveFd_ >= 0) close(slaveFd_);
    if (fd_ >= 0) close(fd_);
    slaveFd_ = fd_ = -1;
}
