#include "app/message_box_user_messages.h"

#include <QMessageBox>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void MessageBoxUserMessages::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, Text(caption), Text(text), QMessageBox::Ok, owner_);
    box.exec();
}

bool MessageBoxUserMessages::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, Text(caption), Text(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    return box.exec() == QMessageBox::Yes;
}
