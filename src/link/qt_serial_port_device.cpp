#include "link/qt_serial_port_device.h"

#include <QSignalBlocker>
#include <utility>

#include "link/line_hang_up.h"
#include "link/open_failure_text.h"
#include "link/port_names.h"
#include "link/system_input_queue.h"

QtSerialPortDevice::QtSerialPortDevice(QObject* parent) : QObject(parent) {
    port_.setParity(QSerialPort::NoParity);
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPortDevice::OnReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPortDevice::ReportError);
    // Never early, so that notifications stay at least a pause apart.
    readPause_.setTimerType(Qt::PreciseTimer);
    readPause_.setSingleShot(true);
    readPause_.setInterval(kReadPauseMs);
    connect(&readPause_, &QTimer::timeout, this, &QtSerialPortDevice::ResumeReadNotifier);
}

QtSerialPortDevice::~QtSerialPortDevice() {
    Close();
}

// The setters only store the values while the port is closed; QSerialPort applies them
// together when it opens.
void QtSerialPortDevice::SetPortName(const std::string& name) {
    port_.setPortName(QString::fromStdString(PlatformPortName(name)));
}

void QtSerialPortDevice::SetBaudRate(int rate, bool /*custom: QSerialPort takes any rate*/) {
    port_.setBaudRate(rate);
}

// QSerialPort buffers input without a limit and output until the OS takes it; the link keeps
// the sizes for its own output arithmetic.
void QtSerialPortDevice::SetBufferSizes(int /*inputSize*/, int /*outputSize*/) {}

void QtSerialPortDevice::SetDataBits(int bits) {
    port_.setDataBits(static_cast<QSerialPort::DataBits>(bits));
}

void QtSerialPortDevice::SetStopBits(int bits) {
    port_.setStopBits(bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

void QtSerialPortDevice::SetFlowControl(FlowControl flow) {
    port_.setFlowControl(flow == FlowControl::Software ? QSerialPort::SoftwareControl
                                                       : QSerialPort::NoFlowControl);
}

bool QtSerialPortDevice::Open() {
    // An error while opening only makes the open fail; it goes no further.
    const QSignalBlocker blocker(port_);
    const bool opened = port_.open(QIODevice::ReadWrite);
    openErrorText_ = opened ? std::string() : OpenFailureText(port_);
    port_.clearError();
    return opened;
}

void QtSerialPortDevice::Close() {
    // Closing a port that never opened would raise NotOpenError.
    if (port_.isOpen()) port_.close();
    readPause_.stop();
    pausedNotifier_ = nullptr;
    // An error found on this line must not reach the next port opened on this device.
    postedError_ = QSerialPort::NoError;
}

bool QtSerialPortDevice::IsOpen() const {
    return port_.isOpen();
}

int QtSerialPortDevice::InputCount() {
    // Only an empty buffer asks the OS, so the per-byte reads of the receive handler stay cheap.
    if (port_.bytesAvailable() == 0 && port_.isOpen()) PullFromSystem();
    return static_cast<int>(port_.bytesAvailable());
}

int QtSerialPortDevice::OutputCount() {
    return static_cast<int>(port_.bytesToWrite());
}

int QtSerialPortDevice::Read(uint8_t* data, int size) {
    const qint64 n = port_.read(reinterpret_cast<char*>(data), size);
    return n < 0 ? 0 : static_cast<int>(n);
}

void QtSerialPortDevice::Write(const uint8_t* data, int size) {
    if (!port_.isOpen()) return;  // closed after the line was lost
    port_.write(reinterpret_cast<const char*>(data), size);
    FlushQueued();
}

// Qt has no out-of-band send; the character goes out behind what is queued, which the
// flush after every write keeps empty.
void QtSerialPortDevice::TransmitChar(uint8_t c) {
    Write(&c, 1);
}

void QtSerialPortDevice::OnReadyRead() {
    // The receive handler runs from the event loop, not inside readyRead: QSerialPort emits no
    // readyRead while a slot of it runs, so a modal box that the handler opens would get no
    // bytes in its own loop, and the port would pile them up, a fresh 32 KiB block per read.
    // Until the handler has run, the port reads no more.
    PauseReadNotifier();
    PostRxNotification();
}

void QtSerialPortDevice::PauseReadNotifier() {
    if (!port_.isOpen()) return;  // the receive handler may have closed the link
    for (QSocketNotifier* notifier :
         port_.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly)) {
        if (notifier->type() != QSocketNotifier::Read || !notifier->isEnabled()) continue;
        notifier->setEnabled(false);
        pausedNotifier_ = notifier;
        if (!readPause_.isActive()) readPause_.start();
        return;
    }
}

void QtSerialPortDevice::ResumeReadNotifier() {
    readPause_.stop();
    if (pausedNotifier_ && port_.isOpen()) pausedNotifier_->setEnabled(true);
    pausedNotifier_ = nullptr;
}

void QtSerialPortDevice::NotifyReceived() {
    const qint64 waiting = port_.bytesAvailable();
    if (waiting > 0 && onRxChar) onRxChar(static_cast<int>(waiting));
}

void QtSerialPortDevice::ReportError(QSerialPort::SerialPortError error) {
    // TimeoutError only comes from the zero-time waits of a pull.
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    // A hung-up line raises a read error on every pass of the event loop until it is closed,
    // so a lost line is closed here at once rather than burning the processor meanwhile.
    const bool lost = error == QSerialPort::ResourceError || LineHungUp(port_);
    if (lost) {
        // Bytes that arrived before the loss are still the device's frames: hand them on first.
        NotifyReceived();
        Close();
    }
    if (onError) onError(lost ? ErrorKind::ResourceLost : ErrorKind::Other);
}

void QtSerialPortDevice::PullFromSystem() {
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    {
        const QSignalBlocker blocker(port_);
        port_.clearError();
        port_.waitForReadyRead(0);  // sets TimeoutError when the OS holds nothing
        error = port_.error();
        port_.clearError();
    }
    // A real error found here still has to reach the window: Qt stops watching a port after
    // a resource error, so nothing else would report it.
    if (port_.bytesAvailable() > 0) PostRxNotification();
    if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) PostError(error);
}

void QtSerialPortDevice::FlushQueued() {
    // Qt reports an OS queue that takes nothing more (EAGAIN) as a resource error. Such bytes
    // stay queued and go out when the event loop runs, and a device that is gone shows on the
    // read side, so errors of the flush are not reported.
    const QSignalBlocker blocker(port_);
    for (qint64 queued = port_.bytesToWrite(); queued > 0;) {
        if (!port_.flush()) break;
        const qint64 left = port_.bytesToWrite();
        if (left >= queued) break;
        queued = left;
    }
    port_.clearError();
}

void QtSerialPortDevice::PostRxNotification() {
    if (rxNotificationPosted_) return;
    rxNotificationPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            rxNotificationPosted_ = false;
            NotifyReceived();
            // Qt enables the notifier again when a read empties its buffer, hence the pause
            // after the handler too.
            if (port_.isOpen() && SystemInputQueue(port_) >= kBackedUpBytes)
                ResumeReadNotifier();
            else
                PauseReadNotifier();
        },
        Qt::QueuedConnection);
}

void QtSerialPortDevice::PostError(QSerialPort::SerialPortError error) {
    if (postedError_ != QSerialPort::NoError) return;
    postedError_ = error;
    QMetaObject::invokeMethod(
        this, [this] { ReportError(std::exchange(postedError_, QSerialPort::NoError)); },
        Qt::QueuedConnection);
}
