#include "app/log_folder_setting.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "config/ini_file.h"

namespace {

constexpr char kSection[] = "Logs";
constexpr char kKey[] = "LastFolder";

}  // namespace

std::string LastLogFolder(const std::string& configPath) {
    const std::optional<std::string> folder = IniFile(configPath).Read(kSection, kKey);
    if (folder && QFileInfo(QString::fromStdString(*folder)).isDir()) return *folder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

void RememberLogFolder(const std::string& configPath, const std::string& savedFile) {
    IniFile ini(configPath);
    ini.Write(kSection, kKey,
              QFileInfo(QString::fromStdString(savedFile)).absolutePath().toStdString());
    ini.Save();
}
