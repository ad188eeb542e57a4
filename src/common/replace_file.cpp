#include "common/replace_file.h"

#include <QSaveFile>

namespace {

// Writes all of `contents`; a short write is retried, so that the write that fails is the one
// whose error the file reports (the disk full, the size limit).
bool WriteAll(QSaveFile& file, std::string_view contents) {
    qint64 written = 0;
    const auto size = static_cast<qint64>(contents.size());
    while (written < size) {
        const qint64 count = file.write(contents.data() + written, size - written);
        if (count <= 0) return false;
        written += count;
    }
    return true;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view contents, std::string* reason) {
    QSaveFile file(QString::fromStdString(path));
    // Unbuffered: a write that fails while a buffer is flushed inside commit() would go
    // unnoticed, and the cut-off file would replace the old one.
    // Without a commit the temporary file is thrown away.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAll(file, contents) &&
        file.commit())
        return true;
    if (reason) *reason = file.errorString().toStdString();
    return false;
}
