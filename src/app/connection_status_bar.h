#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "views/bus_load_meter.h"

class QLabel;
class QStatusBar;

// What the status bar tells: the state of the link, the port and rates it runs at, the
// traffic of the last second, and how full the frame store is.
struct LinkStatus {
    enum class State { NoLink, Pending, Connected };
    State state = State::NoLink;
    std::string portName;
    int32_t baudRate = 0;
    int32_t busRate = 0;
    size_t storedFrames = 0;
    BusLoadMeter::Rates busLoad;
};

// The main window's status bar, one field per part of a LinkStatus. Shown by the window's
// control update and its one-second tick, never per frame.
class ConnectionStatusBar {
  public:
    explicit ConnectionStatusBar(QStatusBar& bar);

    void Show(const LinkStatus& status);

  private:
    QLabel* sConnection_;
    QLabel* sPort_;
    QLabel* sBusRate_;
    QLabel* sBusLoad_;
    QLabel* sFrames_;
};
