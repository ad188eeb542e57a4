#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "views/bus_load_meter.h"

class QLabel;
class QStatusBar;

// What the status bar tells of the link: its state, the port and rates it runs at, and the
// traffic of the last second.
struct LinkStatus {
    enum class State { NoLink, Pending, Connected };
    State state = State::NoLink;
    std::string portName;
    int32_t baudRate = 0;
    int32_t busRate = 0;
    BusLoadMeter::Rates busLoad;
    // A connection command under way, in words; told across the whole bar while it runs.
    std::string activity = {};
};

// The main window's status bar: one field per part of a LinkStatus, shown by the window's
// control update and its one-second tick, and how full the frame store is, shown whenever the
// Received counter is written so that the two never disagree.
class ConnectionStatusBar {
  public:
    explicit ConnectionStatusBar(QStatusBar& bar);

    void Show(const LinkStatus& status);
    void ShowStoredFrames(int count);

  private:
    QStatusBar& bar_;
    QString activity_;  // shown as the bar's message, empty when none is
    QLabel* sConnection_;
    QLabel* sPort_;
    QLabel* sBusRate_;
    QLabel* sBusLoad_;
    QLabel* sFrames_;
};
