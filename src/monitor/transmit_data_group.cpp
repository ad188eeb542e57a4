#include "monitor/transmit_data_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "common/text.h"
#include "config/config_record.h"
#include "session/can_buffer.h"
#include "session/handle_can.h"

namespace {

QCheckBox* CheckedBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setChecked(true);
    return box;
}

uint32_t HexValue(const QLineEdit* box) { return ParseHex(box->text().toStdString()); }

}  // namespace

TransmitDataGroup::TransmitDataGroup(HandleCAN& session, QWidget* parent)
    : QGroupBox(" CAN Data to Transmit ", parent),
      session_(session),
      eID_(new QLineEdit("00000000")),
      cbExtendedID_(CheckedBox("cbExtendedID", "Extended ID")),
      cbResponseFrame_(CheckedBox("cbResponseFrame", "Response Frame")),
      cbDLC_(new QComboBox),
      tDataBytes_(new QLabel("Data Bytes :")),
      tHex_(new QLabel("(Hex)")) {
    eID_->setObjectName("eID");
    eID_->setMaximumWidth(90);
    cbDLC_->setObjectName("cbDLC");
    for (int n = 0; n <= kDataBoxes; ++n) cbDLC_->addItem(QString::number(n));
    tDataBytes_->setObjectName("tDataBytes");
    tHex_->setObjectName("tHex");

    auto* identifierRow = new QHBoxLayout;
    identifierRow->addWidget(new QLabel("ID : 0x"));
    identifierRow->addWidget(eID_);
    identifierRow->addWidget(cbExtendedID_);
    identifierRow->addWidget(cbResponseFrame_);
    identifierRow->addStretch();
    identifierRow->addWidget(new QLabel("DLC :"));
    identifierRow->addWidget(cbDLC_);

    auto* dataRow = new QHBoxLayout;
    dataRow->addWidget(tDataBytes_);
    for (int i = 0; i < kDataBoxes; ++i) {
        eData_[i] = new QLineEdit("0");
        eData_[i]->setObjectName(QString("eData%1").arg(i));
        eData_[i]->setMaximumWidth(36);
        dataRow->addWidget(eData_[i]);
    }
    dataRow->addWidget(tHex_);
    dataRow->addStretch();

    auto* column = new QVBoxLayout(this);
    column->addLayout(identifierRow);
    column->addLayout(dataRow);

    connect(cbDLC_, &QComboBox::activated, this, &TransmitDataGroup::cbDLCChange);
    cbDLCChange();
}

void TransmitDataGroup::cbDLCChange() {
    const int length = cbDLC_->currentIndex();
    tDataBytes_->setVisible(length > 0);
    tHex_->setVisible(length > 0);
    for (int i = 0; i < kDataBoxes; ++i) eData_[i]->setVisible(length > i);
}

CANBuffer TransmitDataGroup::FrameToSend() const {
    uint8_t data[kDataBoxes];
    for (int i = 0; i < kDataBoxes; ++i) data[i] = static_cast<uint8_t>(HexValue(eData_[i]));
    // The list holds only 0 ... 8, and no selection at all counts as 0.
    const int length = std::max(cbDLC_->currentIndex(), 0);
    return CANBuffer(HexValue(eID_), cbResponseFrame_->isChecked(), cbExtendedID_->isChecked(),
                     static_cast<uint8_t>(length), data);
}

void TransmitDataGroup::TransmitFrame1Click() { session_.TransmitFrame(FrameToSend(), true); }

void TransmitDataGroup::ShowConfig(const ConfigRecord& config) {
    cbDLC_->setCurrentIndex(std::min<int>(config.txDlcIndex, kDataBoxes));
    cbExtendedID_->setChecked(config.txExtended != 0);
    cbResponseFrame_->setChecked(config.txResponse != 0);
    eID_->setText(QString("%1").arg(config.txId, 8, 16, QChar('0')).toUpper());
    for (int i = 0; i < kDataBoxes; ++i)
        eData_[i]->setText(QString("%1").arg(config.txData[i], 2, 16, QChar('0')).toUpper());
}
