#pragma once

#include <QGroupBox>

#include "config/config_controls.h"

class QCheckBox;
class QComboBox;
class SessionCommands;
struct ConfigRecord;

// " CAN Parameters ": how the device runs on the bus. Every change is stored in the
// configuration record and sent to the device at once (only while connected).
class CanParametersGroup : public QGroupBox, public BusParameterConfigControls {
    Q_OBJECT
  public:
    static constexpr int kMinBusRate = 10000;
    static constexpr int kMaxBusRate = 1000000;

    CanParametersGroup(ConfigRecord& config, SessionCommands& session, QWidget* parent = nullptr);

    // Shared by Use Filters, Loopback and Listen Only; Use Filters also sends the filters.
    void cbUseFiltersClick(QCheckBox* sender);
    void cbBriefClick();
    // The bus rate as typed or chosen, clamped; the box keeps the text as it is.
    void cbCANBusRateChange();

    void SetUseFilters(bool checked) override;
    void SetListenOnly(bool checked) override;
    void SetLoopback(bool checked) override;
    // Shows the text as the rate; the record keeps its value.
    void SetBusRateText(const std::string& text) override;

  private:
    QCheckBox* cbUseFilters;
    QCheckBox* cbLoopback;
    QCheckBox* cbListenOnly;
    QCheckBox* cbBrief;
    QComboBox* cbCANBusRate;
    ConfigRecord& config_;
    SessionCommands& session_;
};
