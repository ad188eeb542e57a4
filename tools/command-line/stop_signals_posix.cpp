#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>

#include "stop_signals.h"

namespace {

std::atomic<bool> stopRequested{false};
int wakePipe[2] = {-1, -1};

void OnStopSignal(int) {
    stopRequested = true;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
}

}  // namespace

void InstallStopSignals() {
    // Never blocks the handler: a full pipe has already woken the loop.
    if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    // The notifier only wakes the loop; the flag is what the program checks.
    auto* notifier =
        new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char bytes[16];
        [[maybe_unused]] const ssize_t read = ::read(wakePipe[0], bytes, sizeof bytes);
    });
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void RequestStop() {
    stopRequested = true;
}

bool StopRequested() {
    return stopRequested;
}
