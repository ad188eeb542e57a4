#include "app/file_choice.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include "common/user_messages.h"

std::vector<std::string> NameFilters(const char* filters) {
    std::vector<std::string> list;
    for (const QString& filter : QString(filters).split(";;")) list.push_back(filter.toStdString());
    return list;
}

std::string FileName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

bool MayReplaceAddedName(UserMessages& messages, const std::string& typed,
                         const std::string& target) {
    return target == typed || !QFileInfo::exists(QString::fromStdString(target)) ||
           messages.AskYesNo(FileName(target) + " already exists.\nDo you want to replace it?",
                             "Confirm Save As");
}
