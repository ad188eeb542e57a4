#include "monitor/transmit_data_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "common/buddy_label.h"
#include "common/checked_box.h"
#include "common/text.h"
#include "session/can_buffer.h"
#include "session/session_commands.h"

namespace {

uint32_t HexValue(const QLineEdit* box) {
    return ParseHex(box->text().toStdString());
}

}  // namespace

TransmitDataGroup::TransmitDataGroup(SessionCommands& session, QWidget* parent)
    : QGroupBox(" CAN Data to Transmit ", parent),
      eID(new QLineEdit("00000000")),
      cbExtendedID(CheckedBox("cbExtendedID", "Extended ID")),
      cbResponseFrame(CheckedBox("cbResponseFrame", "Response Frame")),
      cbDLC(new QComboBox),
      tDataBytes(new QLabel("Data Bytes :")),
      tHex(new QLabel("(Hex)")),
      session_(session) {
    eID->setObjectName("eID");
    eID->setMaximumWidth(90);
    cbDLC->setObjectName("cbDLC");
    for (int n = 0; n <= kDataBoxes; ++n) cbDLC->addItem(QString::number(n));
    tDataBytes->setObjectName("tDataBytes");
    tHex->setObjectName("tHex");

    auto* identifierRow = new QHBoxLayout;
    identifierRow->addWidget(BuddyLabel("ID : 0x", eID));
    identifierRow->addWidget(eID);
    identifierRow->addWidget(cbExtendedID);
    identifierRow->addWidget(cbResponseFrame);
    identifierRow->addStretch();
    identifierRow->addWidget(BuddyLabel("DLC :", cbDLC));
    identifierRow->addWidget(cbDLC);

    auto* dataRow = new QHBoxLayout;
    dataRow->addWidget(tDataBytes);
    for (int i = 0; i < kDataBoxes; ++i) {
        eData[i] = new QLineEdit("0");
        eData[i]->setObjectName(QString("eData%1").arg(i));
        // One label stands before all eight boxes: each box is named after it and its place.
        eData[i]->setAccessibleName(QString("Data Byte %1").arg(i));
        eData[i]->setMaximumWidth(36);
        dataRow->addWidget(eData[i]);
    }
    dataRow->addWidget(tHex);
    dataRow->addStretch();

    auto* column = new QVBoxLayout(this);
    column->addLayout(identifierRow);
    column->addLayout(dataRow);

    connect(cbDLC, &QComboBox::activated, this, &TransmitDataGroup::cbDLCChange);
    cbDLCChange();
}

void TransmitDataGroup::cbDLCChange() {
    const int length = cbDLC->currentIndex();
    tDataBytes->setVisible(length > 0);
    tHex->setVisible(length > 0);
    for (int i = 0; i < kDataBoxes; ++i) eData[i]->setVisible(length > i);
}

CANBuffer TransmitDataGroup::FrameToSend() const {
    uint8_t data[kDataBoxes];
    for (int i = 0; i < kDataBoxes; ++i) data[i] = static_cast<uint8_t>(HexValue(eData[i]));
    // The list holds only 0 ... 8, and no selection at all counts as 0.
    const int length = std::max(cbDLC->currentIndex(), 0);
    return CANBuffer(HexValue(eID), cbResponseFrame->isChecked(), cbExtendedID->isChecked(),
                     static_cast<uint8_t>(length), data);
}

void TransmitDataGroup::TransmitFrame1Click() {
    session_.TransmitFrame(FrameToSend(), true);
}

int TransmitDataGroup::TxDlcIndex() const {
    return cbDLC->currentIndex();
}
void TransmitDataGroup::SelectTxDlc(int index) {
    cbDLC->setCurrentIndex(index);
}
bool TransmitDataGroup::TxExtended() const {
    return cbExtendedID->isChecked();
}
void TransmitDataGroup::SetTxExtended(bool checked) {
    cbExtendedID->setChecked(checked);
}
bool TransmitDataGroup::TxResponse() const {
    return cbResponseFrame->isChecked();
}
void TransmitDataGroup::SetTxResponse(bool checked) {
    cbResponseFrame->setChecked(checked);
}
std::string TransmitDataGroup::TxIdText() const {
    return eID->text().toStdString();
}
void TransmitDataGroup::SetTxIdText(const std::string& text) {
    eID->setText(QString::fromStdString(text));
}
std::string TransmitDataGroup::TxDataText(int index) const {
    return eData.at(static_cast<size_t>(index))->text().toStdString();
}
void TransmitDataGroup::SetTxDataText(int index, const std::string& text) {
    eData.at(static_cast<size_t>(index))->setText(QString::fromStdString(text));
}
