#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

#include "app/quit_signals.h"

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};
int writeEnd = -1;

void OnQuitSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full socket already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kQuitSignals) sigaction(number, &action, nullptr);
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) return;
    writeEnd = ends[0];
    readEnd_ = ends[1];
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Drain);
    SetHandler(OnQuitSignal);
}

QuitSignals::~QuitSignals() {
    if (readEnd_ < 0) return;
    SetHandler(SIG_DFL);
    ::close(writeEnd);
    ::close(readEnd_);
    writeEnd = -1;
}

void QuitSignals::Drain() {
    char bytes[16];
    while (::read(readEnd_, bytes, sizeof bytes) > 0) {
    }
    emit received();
}
