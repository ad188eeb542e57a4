#pragma once

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class HandleCAN;
struct ConfigRecord;

// " CAN Parameters ": how the device runs on the bus. Every change is stored in the
// configuration record and sent to the device at once (only while connected).
class CanParametersGroup : public QGroupBox {
    Q_OBJECT
  public:
    static constexpr int kMinBusRate = 10000;
    static constexpr int kMaxBusRate = 1000000;

    CanParametersGroup(ConfigRecord& config, HandleCAN& session, QWidget* parent = nullptr);

    // Shared by Use Filters, Loopback and Listen Only; Use Filters also sends the filters.
    void cbUseFiltersClick(QCheckBox* sender);
    void cbBriefClick();
    // The bus rate as typed or chosen, clamped; the box keeps the text as it is.
    void cbCANBusRateChange();

    bool BriefMode() const;

    QCheckBox* cbUseFilters;
    QCheckBox* cbLoopback;
    QCheckBox* cbListenOnly;
    QCheckBox* cbBrief;
    QComboBox* cbCANBusRate;

  private:
    ConfigRecord& config_;
    HandleCAN& session_;
};
