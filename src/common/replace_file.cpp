#include "common/replace_file.h"

#include <QSaveFile>

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
    QSaveFile file(QString::fromStdString(path));
    // Unbuffered: a write that fails while a buffer is flushed inside commit() would go
    // unnoticed, and the cut-off file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const auto size = static_cast<qint64>(contents.size());
    // A short write counts as a failure; without a commit the temporary file is thrown away.
    return file.write(contents.data(), size) == size && file.commit();
}
