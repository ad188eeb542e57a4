#include "app/message_box_user_messages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The standard icon of a message's caption; a caption of another kind shows none.
QMessageBox::Icon IconOf(const std::string& caption) {
    if (caption == "Error") return QMessageBox::Critical;
    if (caption == "Information") return QMessageBox::Information;
    return QMessageBox::NoIcon;
}

QStringList Filters(const std::vector<std::string>& nameFilters) {
    QStringList filters;
    for (const std::string& filter : nameFilters) filters << Text(filter);
    return filters;
}

}  // namespace

MessageBoxUserMessages::~MessageBoxUserMessages() {
    delete saveDialog_;
}

void MessageBoxUserMessages::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(IconOf(caption), Text(caption), Text(text), QMessageBox::Ok, owner_);
    box.exec();
}

bool MessageBoxUserMessages::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, Text(caption), Text(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

UserMessages::SaveFileChoice MessageBoxUserMessages::AskSaveFileName(
    const std::string& caption, const std::vector<std::string>& nameFilters,
    const std::string& startPath) {
    if (!saveDialog_ || saveDialog_->parentWidget() != owner_) {
        delete saveDialog_;
        saveDialog_ = new QFileDialog(owner_);
        saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
    }
    QFileDialog& dialog = *saveDialog_;
    dialog.setWindowTitle(Text(caption));
    dialog.setNameFilters(Filters(nameFilters));
    if (!nameFilters.empty()) dialog.selectNameFilter(Text(nameFilters.front()));
    const QFileInfo start(Text(startPath));
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().front().toStdString(),
            dialog.selectedNameFilter().toStdString()};
}

std::string MessageBoxUserMessages::AskOpenFileName(const std::string& caption,
                                                    const std::vector<std::string>& nameFilters,
                                                    const std::string& startFolder) {
    QFileDialog dialog(owner_, Text(caption), Text(startFolder));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(Filters(nameFilters));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}
