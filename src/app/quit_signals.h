#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that ask a program to end (SIGTERM at logout, SIGINT, SIGHUP) into a Qt
// signal in the event loop, so that the program can end as if the user had closed it. The
// handler only writes a byte to a socket pair; everything else happens in the loop. One
// instance per process; the default handling returns when it goes.
class QuitSignals : public QObject {
    Q_OBJECT
  public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

  signals:
    void received();

  private:
    void Drain();

    int readEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};
