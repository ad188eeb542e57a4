#include "motor/motor_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/can_limits.h"
#include "common/ticks.h"
#include "motor/radio_group.h"
#include "session/session_commands.h"

namespace {

const QStringList kMotorStates{"Forward", "Stop", "Reverse"};
const QStringList kPowerHolds{"Power Off", "Power On"};
const char* const kInitialErrorText = "Error Here";
constexpr int kEditMargins = 12;

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void SetEditColour(QLineEdit* edit, bool red) {
    SetColour(edit, QPalette::Text,
              red ? QColor(Qt::red) : QApplication::palette(edit).color(QPalette::Text));
}

QLabel* ErrorLabel(QWidget* parent) {
    auto* label = new QLabel(kInitialErrorText, parent);
    SetColour(label, QPalette::WindowText, Qt::red);
    return label;
}

QLineEdit* StatusEdit(const char* text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(true);
    return edit;
}

void SendPause(int milliseconds) {
    BusyWaitUntil(TickCount() + milliseconds);
}

}  // namespace

MotorPage::MotorPage(SessionCommands& session, QWidget* parent)
    : QWidget(parent),
      tStatus(new QLabel("Motor Connected", this)),
      cbIgnoreMotor(new QCheckBox("Ignore Motor Messages", this)),
      dbMotorControl(new QGroupBox("Motor Control", this)),
      rgcMotorState(new RadioGroup(" Motor State ", kMotorStates, dbMotorControl)),
      rgcPowerHold(new RadioGroup(" Power Hold ", kPowerHolds, dbMotorControl)),
      eRPM(new QLineEdit("2500", dbMotorControl)),
      eRPMPercent(new QLineEdit("50", dbMotorControl)),
      sError(ErrorLabel(dbMotorControl)),
      GroupBox3(new QGroupBox(" Motor Status ", this)),
      rgmMotorState(new RadioGroup(" Motor State ", kMotorStates, GroupBox3)),
      emRPM(StatusEdit("2500", GroupBox3)),
      emRPMPercent(StatusEdit("50", GroupBox3)),
      emTemp(StatusEdit("25.0", GroupBox3)),
      emPower(StatusEdit("25.0", GroupBox3)),
      emError(StatusEdit("Motor OK", GroupBox3)),
      GroupBox4(new QGroupBox(" Configuration ", this)),
      eDefaultRPM(new QLineEdit("2500", GroupBox4)),
      eMinRPM(new QLineEdit("500", GroupBox4)),
      eMaxRPM(new QLineEdit("4000", GroupBox4)),
      eTempShutdown(new QLineEdit("125", GroupBox4)),
      eCANTimeout(new QLineEdit("5", GroupBox4)),
      mcbCANRate(new QComboBox(GroupBox4)),
      eCANBase(new QLineEdit("20", GroupBox4)),
      eResEn(new QCheckBox("Enable Resistor Setting", GroupBox4)),
      sError2(ErrorLabel(GroupBox4)),
      bReadConfig(new QPushButton("Read Config", GroupBox4)),
      bSetConfig(new QPushButton("Set Config", GroupBox4)),
      transmitFrame_(
          [&session](const CANBuffer& record, bool ack) { session.TransmitFrame(record, ack); }) {
    NameControls();
    QFont bold = tStatus->font();
    bold.setBold(true);
    tStatus->setFont(bold);
    for (RadioGroup* group : {rgcMotorState, rgcPowerHold, rgmMotorState}) group->SetItemIndex(0);
    mcbCANRate->setEditable(true);
    for (const int32_t rate : kBusRateChoices) mcbCANRate->addItem(QString::number(rate));
    mcbCANRate->setCurrentIndex(kDefaultBusRateChoice);

    auto* top = new QHBoxLayout;
    top->addWidget(tStatus);
    top->addWidget(cbIgnoreMotor);
    top->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(dbMotorControl, 1);
    middle->addWidget(GroupBox3, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(middle);
    page->addWidget(GroupBox4);
    page->addStretch(1);
    LayOutControlGroup();
    LayOutStatusGroup();
    LayOutConfigGroup();
    // Connected last: the initial texts run no handler.
    ConnectHandlers();
}

void MotorPage::NameControls() {
    const std::pair<QWidget*, const char*> names[] = {
        {tStatus, "tStatus"},
        {cbIgnoreMotor, "cbIgnoreMotor"},
        {dbMotorControl, "dbMotorControl"},
        {rgcMotorState, "rgcMotorState"},
        {rgcPowerHold, "rgcPowerHold"},
        {eRPM, "eRPM"},
        {eRPMPercent, "eRPMPercent"},
        {sError, "sError"},
        {GroupBox3, "GroupBox3"},
        {rgmMotorState, "rgmMotorState"},
        {emRPM, "emRPM"},
        {emRPMPercent, "emRPMPercent"},
        {emTemp, "emTemp"},
        {emPower, "emPower"},
        {emError, "emError"},
        {GroupBox4, "GroupBox4"},
        {eDefaultRPM, "eDefaultRPM"},
        {eMinRPM, "eMinRPM"},
        {eMaxRPM, "eMaxRPM"},
        {eTempShutdown, "eTempShutdown"},
        {eCANTimeout, "eCANTimeout"},
        {mcbCANRate, "mcbCANRate"},
        {eCANBase, "eCANBase"},
        {eResEn, "eResEn"},
        {sError2, "sError2"},
        {bReadConfig, "bReadConfig"},
        {bSetConfig, "bSetConfig"},
    };
    for (const auto& [widget, name] : names) widget->setObjectName(name);
}

void MotorPage::LayOutControlGroup() {
    // Room for six digits whatever the group's width.
    const int speedWidth = eRPM->fontMetrics().horizontalAdvance("000000") + kEditMargins;
    eRPM->setMinimumWidth(speedWidth);
    eRPMPercent->setMinimumWidth(speedWidth);
    auto* speeds = new QFormLayout;
    speeds->addRow("RPM", eRPM);
    speeds->addRow("RPM %", eRPMPercent);
    auto* row = new QHBoxLayout;
    row->addWidget(rgcMotorState);
    row->addWidget(rgcPowerHold);
    row->addLayout(speeds);
    auto* group = new QVBoxLayout(dbMotorControl);
    group->addLayout(row);
    group->addWidget(sError);
}

void MotorPage::LayOutStatusGroup() {
    auto* values = new QFormLayout;
    values->addRow("RPM", emRPM);
    values->addRow("RPM %", emRPMPercent);
    values->addRow("Temp", emTemp);
    values->addRow("Power", emPower);
    values->addRow("Error", emError);
    auto* group = new QHBoxLayout(GroupBox3);
    group->addWidget(rgmMotorState);
    group->addLayout(values);
}

void MotorPage::LayOutConfigGroup() {
    auto* base = new QHBoxLayout;
    base->addWidget(eCANBase);
    base->addWidget(new QLabel("(Hex)", GroupBox4));
    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    fields->addRow("Default RPM", eDefaultRPM);
    fields->addRow("Minimum RPM", eMinRPM);
    fields->addRow("Maximum RPM", eMaxRPM);
    fields->addRow("Temp Shutdown 'C", eTempShutdown);
    fields->addRow("CAN Timeout (S)", eCANTimeout);
    fields->addRow("CAN Bus Rate", mcbCANRate);
    fields->addRow("CAN Base Addr", base);
    // The form names the fields it holds itself; this one is the edit inside the row's layout.
    qobject_cast<QLabel*>(fields->labelForField(base))->setBuddy(eCANBase);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(eResEn);
    buttons->addWidget(sError2);
    buttons->addStretch(1);
    buttons->addWidget(bReadConfig);
    buttons->addWidget(bSetConfig);
    auto* group = new QHBoxLayout(GroupBox4);
    group->addLayout(fields);
    group->addStretch(1);
    group->addLayout(buttons);
}

void MotorPage::ConnectHandlers() {
    connect(eRPM, &QLineEdit::textChanged, this, &MotorPage::eRPMChange);
    connect(eRPMPercent, &QLineEdit::textChanged, this, &MotorPage::eRPMPercentChange);
    connect(rgcMotorState, &RadioGroup::Click, this, &MotorPage::rgcMotorStateClick);
    connect(rgcPowerHold, &RadioGroup::Click, this, &MotorPage::rgcPowerHoldClick);
    connect(eDefaultRPM, &QLineEdit::textChanged, this, &MotorPage::eDefaultRPMChange);
    connect(eMinRPM, &QLineEdit::textChanged, this, &MotorPage::eMinRPMChange);
    connect(eMaxRPM, &QLineEdit::textChanged, this, &MotorPage::eMaxRPMChange);
    connect(eTempShutdown, &QLineEdit::textChanged, this, &MotorPage::eTempShutdownChange);
    connect(eCANTimeout, &QLineEdit::textChanged, this, &MotorPage::eCANTimeoutChange);
    connect(eCANBase, &QLineEdit::textChanged, this, &MotorPage::eCANTimeoutChange);
    connect(bReadConfig, &QPushButton::clicked, this, &MotorPage::bReadConfigClick);
    connect(bSetConfig, &QPushButton::clicked, this, &MotorPage::bSetConfigClick);
}

bool MotorPage::CheckRange(QLineEdit* edit, const FieldRange& range, ErrorGroup group) {
    const bool control = group == ErrorGroup::Control;
    RangeGroup& errors = control ? controlErrors_ : configErrors_;
    QLabel* errorText = control ? sError : sError2;
    const bool outOfRange = errors.Check(IntegerOr(edit->text().toStdString(), 0), range);
    SetEditColour(edit, outOfRange);
    if (outOfRange)
        errorText->setText(QString::fromStdString(RangeErrorText(range)));
    else if (errors.AllInRange())
        errorText->clear();
    return outOfRange;
}

void MotorPage::SendMotorControl(SpeedForm form) {
    if (!controlErrors_.AllInRange()) return;
    const QLineEdit* speed = form == SpeedForm::Percent ? eRPMPercent : eRPM;
    transmitFrame_(MotorControlMessage(rgcMotorState->ItemIndex(), rgcPowerHold->ItemIndex(), form,
                                       ControlSpeed(form, speed->text().toStdString())),
                   true);
}

void MotorPage::RequestMotorConfig() {
    ::RequestMotorConfig(transmitFrame_);
}

void MotorPage::SendMotorConfig() {
    if (!configErrors_.AllInRange()) return;
    if (WriteMotorConfig(ReadMotorConfig(ConfigTexts()), transmitFrame_, SendPause)) return;
    SetEditColour(eMinRPM, true);
    SetEditColour(eMaxRPM, true);
    sError2->setText(kSpeedLimitsErrorText);
}

MotorConfigTexts MotorPage::ConfigTexts() const {
    return {eDefaultRPM->text().toStdString(), eMinRPM->text().toStdString(),
            eMaxRPM->text().toStdString(),     eTempShutdown->text().toStdString(),
            eCANTimeout->text().toStdString(), mcbCANRate->currentText().toStdString(),
            eCANBase->text().toStdString(),    eResEn->isChecked()};
}

void MotorPage::eRPMChange() {
    if (!CheckRange(eRPM, kRpmRange, ErrorGroup::Control)) SendMotorControl(SpeedForm::Rpm);
}

void MotorPage::eRPMPercentChange() {
    if (!CheckRange(eRPMPercent, kRpmPercentRange, ErrorGroup::Control))
        SendMotorControl(SpeedForm::Percent);
}

void MotorPage::rgcMotorStateClick() {
    SendMotorControl(SpeedForm::Rpm);
}

void MotorPage::rgcPowerHoldClick() {
    SendMotorControl(SpeedForm::Rpm);
}

void MotorPage::eDefaultRPMChange() {
    CheckRange(eDefaultRPM, kDefaultRpmRange, ErrorGroup::Config);
}

void MotorPage::eMinRPMChange() {
    CheckRange(eMinRPM, kMinRpmRange, ErrorGroup::Config);
}

void MotorPage::eMaxRPMChange() {
    CheckRange(eMaxRPM, kMaxRpmRange, ErrorGroup::Config);
}

void MotorPage::eTempShutdownChange() {
    CheckRange(eTempShutdown, kTempShutdownRange, ErrorGroup::Config);
}

void MotorPage::eCANTimeoutChange() {
    CheckRange(eCANTimeout, kCanTimeoutRange, ErrorGroup::Config);
}

void MotorPage::bReadConfigClick() {
    RequestMotorConfig();
}

void MotorPage::bSetConfigClick() {
    SendMotorConfig();
}
