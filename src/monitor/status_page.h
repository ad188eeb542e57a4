#pragma once

#include <QWidget>

#include "monitor/can_parameters_group.h"
#include "monitor/frame_log_panel.h"
#include "monitor/transmit_data_group.h"

class FrameStore;
class SessionCommands;
struct ConfigRecord;

// The "Status" tab: bus parameters and the single-frame transmit on top, the frame log with
// its counters below.
class StatusPage : public QWidget {
    Q_OBJECT
  public:
    StatusPage(ConfigRecord& config, SessionCommands& session, const FrameStore& frames,
               QWidget* parent = nullptr);

    // The page's slices of the configuration.
    BusParameterConfigControls& busParameters() { return *parameters_; }
    TransmitDataConfigControls& transmitData() { return *transmitData_; }
    FrameLogPanel& frameLog() { return *frameLog_; }

    // Transmit Frame: the composed frame, sent with acknowledgement.
    void TransmitFrame1Click() { transmitData_->TransmitFrame1Click(); }

  private:
    CanParametersGroup* parameters_;
    TransmitDataGroup* transmitData_;
    FrameLogPanel* frameLog_;
};
