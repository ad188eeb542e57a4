#pragma once

#include <QWidget>

#include "monitor/can_parameters_group.h"
#include "monitor/frame_log_panel.h"
#include "monitor/transmit_data_group.h"

class HandleCAN;
struct ConfigRecord;

// The "Status" tab: bus parameters and the single-frame transmit on top, the frame log with
// its counters below.
class StatusPage : public QWidget {
    Q_OBJECT
  public:
    StatusPage(ConfigRecord& config, HandleCAN& session, QWidget* parent = nullptr);

    CanParametersGroup& parameters() { return *parameters_; }
    TransmitDataGroup& transmitData() { return *transmitData_; }
    FrameLogPanel& frameLog() { return *frameLog_; }

  private:
    CanParametersGroup* parameters_;
    TransmitDataGroup* transmitData_;
    FrameLogPanel* frameLog_;
};
