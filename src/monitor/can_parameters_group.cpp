#include "monitor/can_parameters_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "common/buddy_label.h"
#include "common/can_limits.h"
#include "common/text.h"
#include "config/config_record.h"
#include "session/session_commands.h"

namespace {

// The items of the rate list. The 50000 item carries a trailing blank; the decimal reading
// stops at it.
QStringList BusRateItems() {
    QStringList items;
    for (const int32_t rate : kBusRateChoices)
        items.append(QString::number(rate) + (rate == 50000 ? " " : ""));
    return items;
}

QCheckBox* OptionBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

}  // namespace

CanParametersGroup::CanParametersGroup(ConfigRecord& config, SessionCommands& session,
                                       QWidget* parent)
    : QGroupBox(" CAN Parameters ", parent),
      cbUseFilters(OptionBox("cbUseFilters", "Use Filters")),
      cbLoopback(OptionBox("cbLoopback", "Loopback")),
      cbListenOnly(OptionBox("cbListenOnly", "Listen Only")),
      cbBrief(OptionBox("cbBrief", "Brief Mode")),
      cbCANBusRate(new QComboBox),
      config_(config),
      session_(session) {
    cbCANBusRate->setObjectName("cbCANBusRate");
    cbCANBusRate->setEditable(true);
    cbCANBusRate->setInsertPolicy(QComboBox::NoInsert);
    cbCANBusRate->addItems(BusRateItems());
    cbCANBusRate->setCurrentIndex(kDefaultBusRateChoice);

    auto* row = new QHBoxLayout(this);
    row->addWidget(cbUseFilters);
    row->addWidget(cbLoopback);
    row->addWidget(cbListenOnly);
    row->addWidget(cbBrief);
    row->addStretch();
    row->addWidget(BuddyLabel("CAN Bus Rate :", cbCANBusRate));
    row->addWidget(cbCANBusRate);

    for (QCheckBox* box : {cbUseFilters, cbLoopback, cbListenOnly})
        connect(box, &QCheckBox::toggled, this, [this, box] { cbUseFiltersClick(box); });
    connect(cbBrief, &QCheckBox::toggled, this, &CanParametersGroup::cbBriefClick);
    session_.SetBriefMode(cbBrief->isChecked());
    // Only what the user does changes the rate; showing a value from code sends nothing.
    connect(cbCANBusRate, &QComboBox::activated, this, &CanParametersGroup::cbCANBusRateChange);
    connect(cbCANBusRate->lineEdit(), &QLineEdit::textEdited, this,
            &CanParametersGroup::cbCANBusRateChange);
}

void CanParametersGroup::cbUseFiltersClick(QCheckBox* sender) {
    const uint8_t checked = sender->isChecked() ? 1 : 0;
    if (sender == cbUseFilters) config_.useFilters = checked;
    if (sender == cbLoopback) config_.loopback = checked;
    if (sender == cbListenOnly) config_.listenOnly = checked;
    session_.SendSetupAndFilters(sender != cbUseFilters);
}

void CanParametersGroup::cbBriefClick() {
    session_.SetBriefMode(cbBrief->isChecked());
    session_.SendSetupAndFilters(true);
}

void CanParametersGroup::cbCANBusRateChange() {
    const uint32_t typed = ParseDecimalSaturating(cbCANBusRate->currentText().toStdString());
    config_.busRate = static_cast<int32_t>(std::clamp<uint32_t>(typed, kMinBusRate, kMaxBusRate));
    session_.SendSetupAndFilters(true);
}

void CanParametersGroup::SetUseFilters(bool checked) {
    cbUseFilters->setChecked(checked);
}
void CanParametersGroup::SetListenOnly(bool checked) {
    cbListenOnly->setChecked(checked);
}
void CanParametersGroup::SetLoopback(bool checked) {
    cbLoopback->setChecked(checked);
}
void CanParametersGroup::SetBusRateText(const std::string& text) {
    cbCANBusRate->setEditText(QString::fromStdString(text));
}
