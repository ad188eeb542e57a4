#include "help/xdg_viewer_registry.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

bool XdgViewerRegistry::FileExists(const std::string& path) const {
    return QFileInfo(QString::fromStdString(path)).isFile();
}

std::optional<std::string> XdgViewerRegistry::FileTypeOf(const std::string& extension) const {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(
        QString::fromStdString("document" + extension), QMimeDatabase::MatchExtension);
    if (type.isDefault()) return std::nullopt;
    return type.name().toStdString();
}

std::optional<std::string> XdgViewerRegistry::OpenCommandOf(const std::string&) const {
    if (QStandardPaths::findExecutable("xdg-open").isEmpty()) return std::nullopt;
    return "xdg-open";
}

int XdgViewerRegistry::Start(const std::string& commandLine) {
    QStringList arguments = QProcess::splitCommand(QString::fromStdString(commandLine));
    if (arguments.isEmpty()) return kViewerStartFailed;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments) ? kViewerStarted : kViewerStartFailed;
}
