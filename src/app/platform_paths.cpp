#include "app/platform_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

std::string ConfigFilePath() {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/QNL";
    QDir().mkpath(folder);
    return QDir(folder).filePath("BRANNOX.INI").toStdString();
}

std::string ProgramFolder() {
    // The whole folder name, dots and all.
    return QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
}
