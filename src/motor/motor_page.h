#pragma once

#include <QWidget>

#include "motor/motor_config_writer.h"
#include "motor/motor_fields.h"
#include "motor/range_group.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;
class SessionCommands;

// The Motor page: drives one CAN motor controller through the device. The Motor Control
// group sends a control message whenever direction, power hold or speed change; the
// Configuration group writes three configuration pages framed by configuration requests.
// Every edit is range-checked as it changes, and a group sends nothing while one of its edits
// is out of range. The Motor Status group only shows its initial texts.
class MotorPage : public QWidget {
    Q_OBJECT
  public:
    explicit MotorPage(SessionCommands& session, QWidget* parent = nullptr);

    void SendMotorControl(SpeedForm form);
    void RequestMotorConfig();
    // Blocks the thread for the pauses between the pages.
    void SendMotorConfig();

    uint32_t controlErrorMask() const { return controlErrors_.mask(); }
    uint32_t configErrorMask() const { return configErrors_.mask(); }

    void eRPMChange();
    void eRPMPercentChange();
    void rgcMotorStateClick();
    void rgcPowerHoldClick();
    void eDefaultRPMChange();
    void eMinRPMChange();
    void eMaxRPMChange();
    void eTempShutdownChange();
    // Also the handler of eCANBase: a new base address re-checks the time-out.
    void eCANTimeoutChange();
    void bReadConfigClick();
    void bSetConfigClick();

  private:
    enum class ErrorGroup { Control, Config };

    // Checks the edit's integer value (0 for a non-integer) against its range: the edit turns
    // red and the group shows the range while it is out of range, and the group's error text
    // clears once all its edits are back in range. True when out of range.
    bool CheckRange(QLineEdit* edit, const FieldRange& range, ErrorGroup group);
    void NameControls();
    void LayOutControlGroup();
    void LayOutStatusGroup();
    void LayOutConfigGroup();
    void ConnectHandlers();
    MotorConfigTexts ConfigTexts() const;

    QLabel* tStatus;
    QCheckBox* cbIgnoreMotor;
    QGroupBox* dbMotorControl;
    RadioGroup* rgcMotorState;
    RadioGroup* rgcPowerHold;
    QLineEdit* eRPM;
    QLineEdit* eRPMPercent;
    QLabel* sError;
    QGroupBox* GroupBox3;
    RadioGroup* rgmMotorState;
    QLineEdit* emRPM;
    QLineEdit* emRPMPercent;
    QLineEdit* emTemp;
    QLineEdit* emPower;
    QLineEdit* emError;
    QGroupBox* GroupBox4;
    QLineEdit* eDefaultRPM;
    QLineEdit* eMinRPM;
    QLineEdit* eMaxRPM;
    QLineEdit* eTempShutdown;
    QLineEdit* eCANTimeout;
    QComboBox* mcbCANRate;
    QLineEdit* eCANBase;
    QCheckBox* eResEn;
    QLabel* sError2;
    QPushButton* bReadConfig;
    QPushButton* bSetConfig;

    MotorTransmit transmitFrame_;
    RangeGroup controlErrors_;
    RangeGroup configErrors_;
};
