#include "link/posix_serial_port_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "link/line_speed.h"
#include "link/open_failure_text.h"
#include "link/port_names.h"

namespace {

// A port name without a folder is a device file in /dev, as the system's port list gives it.
std::string DevicePath(const std::string& name) {
    const std::string path = PlatformPortName(name);
    return path.starts_with('/') ? path : "/dev/" + path;
}

tcflag_t CharacterSize(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

}  // namespace

PosixSerialPortDevice::PosixSerialPortDevice(QObject* parent) : QObject(parent) {
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    connect(&readNotifier_, &QSocketNotifier::activated, this, &PosixSerialPortDevice::OnReadable);
    connect(&writeNotifier_, &QSocketNotifier::activated, this, &PosixSerialPortDevice::SendUnsent);
    // Never early, so that notifications stay at least a pause apart.
    readPause_.setTimerType(Qt::PreciseTimer);
    readPause_.setSingleShot(true);
    readPause_.setInterval(kReadPauseMs);
    connect(&readPause_, &QTimer::timeout, this, &PosixSerialPortDevice::ResumeReading);
}

PosixSerialPortDevice::~PosixSerialPortDevice() {
    Close();
}

// The setters only store the values; Open() applies them together.
void PosixSerialPortDevice::SetPortName(const std::string& name) {
    devicePath_ = DevicePath(name);
}

void PosixSerialPortDevice::SetBaudRate(int rate, bool /*custom: every rate is set alike*/) {
    baudRate_ = rate;
}

// The operating system buffers input and output; the link keeps the sizes for its own output
// arithmetic.
void PosixSerialPortDevice::SetBufferSizes(int /*inputSize*/, int /*outputSize*/) {}

void PosixSerialPortDevice::SetDataBits(int bits) {
    dataBits_ = bits;
}

void PosixSerialPortDevice::SetStopBits(int bits) {
    stopBits_ = bits;
}

void PosixSerialPortDevice::SetFlowControl(FlowControl flow) {
    flow_ = flow;
}

bool PosixSerialPortDevice::Open() {
    if (IsOpen()) return true;
    const int error = OpenLine();
    openErrorText_ = error == 0 ? std::string() : OpenFailureText(error, devicePath_);
    if (error != 0) return false;
    readNotifier_.setSocket(fd_);
    writeNotifier_.setSocket(fd_);
    readNotifier_.setEnabled(true);
    return true;
}

int PosixSerialPortDevice::OpenLine() {
    fd_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return errno;
    // One program at a time: the lock turns away any other program that locks the port as
    // well, root included, and the exclusive mode other users' opens. The exclusive mode is
    // only set once the lock is ours, as it stays with the terminal.
    int error = 0;
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
    } else if (ioctl(fd_, TIOCEXCL) != 0 || !ApplyLineSettings()) {
        error = errno;
        ioctl(fd_, TIOCNXCL);
    }
    if (error != 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return error;
}

bool PosixSerialPortDevice::ApplyLineSettings() {
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CLOCAL | CREAD | CharacterSize(dataBits_);
    if (stopBits_ == 2) settings.c_cflag |= CSTOPB;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (flow_ == FlowControl::Software) settings.c_iflag |= IXON | IXOFF;
    // Reads return at once with what is there.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    return tcsetattr(fd_, TCSANOW, &settings) == 0 && SetLineSpeed(fd_, baudRate_);
}

void PosixSerialPortDevice::Close() {
    readPause_.stop();
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    pulled_.clear();
    pulledTaken_ = 0;
    unsent_.clear();
    // An error found on this line must not reach the next port opened on this device.
    lineErrorPosted_ = false;
    if (fd_ < 0) return;
    // The exclusive mode belongs to the terminal and would outlast this descriptor while
    // another one stays open.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

int PosixSerialPortDevice::SystemInputQueue() const {
    int queued = 0;
    return fd_ >= 0 && ioctl(fd_, FIONREAD, &queued) == 0 ? queued : 0;
}

bool PosixSerialPortDevice::LineHungUp() const {
    // The device was unplugged, or the far side of a pseudo-terminal closed.
    pollfd line{fd_, 0, 0};  // POLLHUP and POLLERR come without being asked for
    return fd_ >= 0 && poll(&line, 1, 0) == 1 &&
           (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool PosixSerialPortDevice::Pull() {
    if (fd_ < 0) return false;
    pulled_.resize(kPullChunk);
    pulledTaken_ = 0;
    ssize_t n = 0;
    do {
        n = ::read(fd_, pulled_.data(), pulled_.size());
    } while (n < 0 && errno == EINTR);
    pulled_.resize(n > 0 ? static_cast<size_t>(n) : 0);
    // A pull may run inside a busy wait: an error goes to the window from the event loop.
    if (n < 0 && errno != EAGAIN) PostLineError();
    return n > 0;
}

int PosixSerialPortDevice::InputCount() {
    // Only when nothing is pulled is the system asked, so the per-byte reads stay cheap.
    if (pulledTaken_ == pulled_.size() && Pull()) PostRxNotification();
    return static_cast<int>(pulled_.size() - pulledTaken_);
}

int PosixSerialPortDevice::Read(uint8_t* data, int size) {
    if (size <= 0 || (pulledTaken_ == pulled_.size() && !Pull())) return 0;
    const size_t n = std::min(static_cast<size_t>(size), pulled_.size() - pulledTaken_);
    std::memcpy(data, pulled_.data() + pulledTaken_, n);
    pulledTaken_ += n;
    return static_cast<int>(n);
}

void PosixSerialPortDevice::Write(const uint8_t* data, int size) {
    if (fd_ < 0 || size <= 0) return;  // closed after the line was lost
    unsent_.insert(unsent_.end(), data, data + size);
    SendUnsent();
}

// A character sent ahead of the queue: the queue is empty whenever the line takes what is
// written, so it simply goes out behind it.
void PosixSerialPortDevice::TransmitChar(uint8_t c) {
    Write(&c, 1);
}

void PosixSerialPortDevice::SendUnsent() {
    size_t sent = 0;
    while (fd_ >= 0 && sent < unsent_.size()) {
        const ssize_t n = ::write(fd_, unsent_.data() + sent, unsent_.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // A full queue takes the rest once the line drains; a line that is gone takes
            // nothing, and shows on the read side.
            if (n < 0 && errno != EAGAIN) sent = unsent_.size();
            break;
        }
    }
    unsent_.erase(unsent_.begin(), unsent_.begin() + static_cast<std::ptrdiff_t>(sent));
    writeNotifier_.setEnabled(fd_ >= 0 && !unsent_.empty());
}

void PosixSerialPortDevice::OnReadable() {
    if (LineHungUp()) {
        ReportLineError();
        return;
    }
    // The receive handler runs from the event loop, not inside the notifier's signal, and
    // reading rests until it has run; a modal box that the handler opens still gets the
    // bytes that come meanwhile in its own loop.
    PauseReading();
    PostRxNotification();
}

void PosixSerialPortDevice::PauseReading() {
    if (fd_ < 0) return;  // the receive handler may have closed the link
    readNotifier_.setEnabled(false);
    if (!readPause_.isActive()) readPause_.start();
}

void PosixSerialPortDevice::ResumeReading() {
    readPause_.stop();
    if (fd_ >= 0) readNotifier_.setEnabled(true);
}

void PosixSerialPortDevice::NotifyReceived() {
    // The handler is told of the pulled bytes; what comes meanwhile gets a notification of its
    // own, a read pause later.
    if (pulledTaken_ == pulled_.size()) Pull();
    const int waiting = static_cast<int>(pulled_.size() - pulledTaken_);
    if (waiting > 0 && onRxChar) onRxChar(waiting);
}

void PosixSerialPortDevice::ReportLineError() {
    const bool lost = LineHungUp();
    if (lost) {
        // Bytes that arrived before the loss are still the device's frames: hand them on first.
        NotifyReceived();
        // A hung-up line is readable on every pass of the event loop until it is closed.
        Close();
    }
    if (onError) onError(lost ? ErrorKind::ResourceLost : ErrorKind::Other);
}

void PosixSerialPortDevice::PostRxNotification() {
    if (rxNotificationPosted_) return;
    rxNotificationPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            rxNotificationPosted_ = false;
            NotifyReceived();
            if (SystemInputQueue() >= kBackedUpBytes)
                ResumeReading();
            else
                PauseReading();
        },
        Qt::QueuedConnection);
}

void PosixSerialPortDevice::PostLineError() {
    if (lineErrorPosted_) return;
    lineErrorPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Dropped when the line was closed meanwhile.
            if (!std::exchange(lineErrorPosted_, false) || fd_ < 0) return;
            ReportLineError();
        },
        Qt::QueuedConnection);
}
