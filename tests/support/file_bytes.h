#pragma once

#include <QFile>
#include <string>

// Whole-file access for tests that check exactly what a program wrote.
inline std::string ReadFileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline bool FileExists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}
