#include "common/replace_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

bool ReplaceFileContents(const std::string& path, std::string_view contents, std::string* failure) {
    QSaveFile file(QString::fromStdString(path));
    const auto failed = [&file, failure] {
        if (failure != nullptr) *failure = file.errorString().toStdString();
        return false;
    };
    // Unbuffered: a write that fails while a buffer is flushed inside commit() would go
    // unnoticed, and the cut-off file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed();
    // A short write is followed by the rest, so that a disk that is full shows as the error
    // that says so; without a commit the temporary file is thrown away.
    while (!contents.empty()) {
        const qint64 written = file.write(contents.data(), static_cast<qint64>(contents.size()));
        if (written <= 0) return failed();
        contents.remove_prefix(static_cast<size_t>(written));
    }
    return file.commit() || failed();
}

void RemoveLeftoverTemporaries(const std::string& path) {
    // QSaveFile names its temporary file after the target, a dot and six letters or digits.
    const QFileInfo target(QString::fromStdString(path));
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + "\\.[A-Za-z0-9]{6}"));
    QDir folder = target.absoluteDir();
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names)
        if (pattern.match(name).hasMatch()) folder.remove(name);
}
