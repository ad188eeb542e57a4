#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include "transmit/precise_ticker.h"

PreciseTicker::PreciseTicker(QObject* parent) : QObject(parent) {
    clockFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (clockFd_ < 0) throw std::system_error(errno, std::generic_category(), "timerfd_create");
    expired_ = new QSocketNotifier(clockFd_, QSocketNotifier::Read, this);
    connect(expired_, &QSocketNotifier::activated, this, &PreciseTicker::OnExpired);
}

PreciseTicker::~PreciseTicker() {
    delete expired_;  // before its descriptor goes
    close(clockFd_);
}

void PreciseTicker::start(int periodMs) {
    lastPeriodMs_ = periodMs;
    Arm(periodMs);
}

void PreciseTicker::stop() {
    Arm(0);
}

void PreciseTicker::Arm(int periodMs) {
    periodMs_ = periodMs;
    const timespec period{periodMs / 1000, static_cast<long>(periodMs % 1000) * 1000000L};
    // Setting the clock also forgets expiries not yet read; a period of 0 disarms it.
    const itimerspec setting{period, period};
    timerfd_settime(clockFd_, 0, &setting, nullptr);
}

void PreciseTicker::OnExpired() {
    // Nothing to read when a stop or restart came after the loop saw the clock expire.
    uint64_t expiries = 0;
    if (read(clockFd_, &expiries, sizeof expiries) != sizeof expiries || !isActive()) return;
    emit timeout();
}
