#include "monitor/can_parameters_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "common/text.h"
#include "config/config_record.h"
#include "session/handle_can.h"

namespace {

// The second item carries a trailing blank; the decimal reading stops at it.
const QStringList kBusRates = {"33333",  "50000 ", "83333",  "100000",
                               "125000", "250000", "500000", "1000000"};
constexpr int kDefaultBusRateIndex = 5;  // "250000"

QCheckBox* OptionBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

}  // namespace

CanParametersGroup::CanParametersGroup(ConfigRecord& config, HandleCAN& session,
                                       QWidget* parent)
    : QGroupBox(" CAN Parameters ", parent),
      config_(config),
      session_(session),
      cbUseFilters_(OptionBox("cbUseFilters", "Use Filters")),
      cbLoopback_(OptionBox("cbLoopback", "Loopback")),
      cbListenOnly_(OptionBox("cbListenOnly", "Listen Only")),
      cbBrief_(OptionBox("cbBrief", "Brief Mode")),
      cbCANBusRate_(new QComboBox) {
    cbCANBusRate_->setObjectName("cbCANBusRate");
    cbCANBusRate_->setEditable(true);
    cbCANBusRate_->setInsertPolicy(QComboBox::NoInsert);
    cbCANBusRate_->addItems(kBusRates);
    cbCANBusRate_->setCurrentIndex(kDefaultBusRateIndex);

    auto* row = new QHBoxLayout(this);
    row->addWidget(cbUseFilters_);
    row->addWidget(cbLoopback_);
    row->addWidget(cbListenOnly_);
    row->addWidget(cbBrief_);
    row->addStretch();
    row->addWidget(new QLabel("CAN Bus Rate :"));
    row->addWidget(cbCANBusRate_);

    for (QCheckBox* box : {cbUseFilters_, cbLoopback_, cbListenOnly_})
        connect(box, &QCheckBox::toggled, this, [this, box] { cbUseFiltersClick(box); });
    connect(cbBrief_, &QCheckBox::toggled, this, &CanParametersGroup::cbBriefClick);
    // Only what the user does changes the rate; showing a value from code sends nothing.
    connect(cbCANBusRate_, &QComboBox::activated, this, &CanParametersGroup::cbCANBusRateChange);
    connect(cbCANBusRate_->lineEdit(), &QLineEdit::textEdited, this,
            &CanParametersGroup::cbCANBusRateChange);
}

void CanParametersGroup::cbUseFiltersClick(QCheckBox* sender) {
    const uint8_t checked = sender->isChecked() ? 1 : 0;
    if (sender == cbUseFilters_) config_.useFilters = checked;
    if (sender == cbLoopback_) config_.loopback = checked;
    if (sender == cbListenOnly_) config_.listenOnly = checked;
    session_.SendSetupAndFilters(sender != cbUseFilters_);
}

void CanParametersGroup::cbBriefClick() { session_.SendSetupAndFilters(true); }

void CanParametersGroup::cbCANBusRateChange() {
    const uint32_t typed = ParseDecimal(cbCANBusRate_->currentText().toStdString());
    config_.busRate = static_cast<int32_t>(
        std::clamp<uint32_t>(typed, kMinBusRate, kMaxBusRate));
    session_.SendSetupAndFilters(true);
}

void CanParametersGroup::ShowConfig() {
    cbUseFilters_->setChecked(config_.useFilters != 0);
    cbListenOnly_->setChecked(config_.listenOnly != 0);
    cbLoopback_->setChecked(config_.loopback != 0);
    cbCANBusRate_->setEditText(QString::number(config_.busRate));
}

bool CanParametersGroup::BriefMode() const { return cbBrief_->isChecked(); }
