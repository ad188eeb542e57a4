// The main window's controls as the configuration file reads and fills them. Setting a value
// here is setting it from code: check boxes and edits run their handlers, combo boxes do not.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>

#include "app/main_form.h"
#include "filters/filters_page.h"
#include "monitor/status_page.h"
#include "transmit/transmit_list_page.h"

namespace {

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

int TMainForm::TxDlcIndex() const {
    return statusPage_->transmitData().cbDLC->currentIndex();
}
void TMainForm::SelectTxDlc(int index) {
    statusPage_->transmitData().cbDLC->setCurrentIndex(index);
}
bool TMainForm::TxExtended() const {
    return statusPage_->transmitData().cbExtendedID->isChecked();
}
void TMainForm::SetTxExtended(bool checked) {
    statusPage_->transmitData().cbExtendedID->setChecked(checked);
}
bool TMainForm::TxResponse() const {
    return statusPage_->transmitData().cbResponseFrame->isChecked();
}
void TMainForm::SetTxResponse(bool checked) {
    statusPage_->transmitData().cbResponseFrame->setChecked(checked);
}
std::string TMainForm::TxIdText() const {
    return Text(statusPage_->transmitData().eID);
}
void TMainForm::SetTxIdText(const std::string& text) {
    statusPage_->transmitData().eID->setText(Text(text));
}
std::string TMainForm::TxDataText(int index) const {
    return Text(statusPage_->transmitData().eData.at(static_cast<size_t>(index)));
}
void TMainForm::SetTxDataText(int index, const std::string& text) {
    statusPage_->transmitData().eData.at(static_cast<size_t>(index))->setText(Text(text));
}

void TMainForm::SetUseFilters(bool checked) {
    statusPage_->parameters().cbUseFilters->setChecked(checked);
}
void TMainForm::SetListenOnly(bool checked) {
    statusPage_->parameters().cbListenOnly->setChecked(checked);
}
void TMainForm::SetLoopback(bool checked) {
    statusPage_->parameters().cbLoopback->setChecked(checked);
}
void TMainForm::SetBusRateText(const std::string& text) {
    statusPage_->parameters().cbCANBusRate->setEditText(Text(text));
}

int TMainForm::GapIndex() const {
    return transmitListPage_->cbGap->currentIndex();
}
void TMainForm::SelectGap(int index) {
    transmitListPage_->cbGap->setCurrentIndex(index);
}

std::vector<std::string> TMainForm::TxLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < transmitListPage_->TxLineCount(); ++i)
        lines.push_back(txLineBytes_.Encode(Text(transmitListPage_->TxLine(i))));
    return lines;
}
void TMainForm::SetTxLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) text << txLineBytes_.Decode(line);
    transmitListPage_->eTxList->setPlainText(text.join('\n'));
}
void TMainForm::AppendTxLine(const std::string& line) {
    transmitListPage_->AppendTxLine(line);
}

void TMainForm::DlcChanged() {
    statusPage_->transmitData().cbDLCChange();
}
void TMainForm::RedrawFilterList() {
    filtersPage_->RedrawFilterList();
}
