#include "app/message_box_user_messages.h"

#include <QFileDialog>
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

}  // namespace

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
    const std::string& caption, const std::vector<FileType>& types) {
    QFileDialog dialog(owner_, Text(caption));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList nameFilters;
    for (const FileType& type : types) nameFilters << Text(type.nameFilter);
    dialog.setNameFilters(nameFilters);
    const auto useSuffixOf = [&dialog, &types](const QString& nameFilter) {
        for (const FileType& type : types)
            if (Text(type.nameFilter) == nameFilter)
                dialog.setDefaultSuffix(Text(type.defaultSuffix));
    };
    if (!types.empty()) useSuffixOf(nameFilters.front());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().front().toStdString(),
            dialog.selectedNameFilter().toStdString()};
}
