#pragma once

#include <QObject>

class QSocketNotifier;

// A periodic timer whose ticks keep to the period to well under a millisecond. Qt's timers
// round every wait up to a whole millisecond, so their next tick moves by up to 1 ms whenever
// the event loop wakes for something else in between (a repaint, bytes from the device); a
// transmit list run at a 10 ms gap shows that as jitter on the bus. The ticks still arrive
// through the event loop of the thread that made the ticker. A loop that falls behind gets one
// tick for the periods it missed, not a burst.
class PreciseTicker : public QObject {
    Q_OBJECT
  public:
    explicit PreciseTicker(QObject* parent = nullptr);
    ~PreciseTicker() override;

    // Starts ticking every `periodMs` (at least 1), the first tick one period from now; a
    // running ticker starts afresh.
    void start(int periodMs);
    void stop();
    bool isActive() const { return periodMs_ > 0; }
    // The period of the last start.
    int interval() const { return lastPeriodMs_; }

  signals:
    void timeout();

  private:
    void Arm(int periodMs);
    void OnExpired();

    int clockFd_ = -1;  // the system's periodic clock, readable when it expired
    QSocketNotifier* expired_ = nullptr;
    int periodMs_ = 0;  // 0 while stopped
    int lastPeriodMs_ = 0;
};
