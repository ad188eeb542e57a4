#include "logs/save_message_log.h"

#include <QDateTime>
#include <QFileInfo>

#include "common/user_messages.h"
#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/log_file.h"

namespace {

LogFormat LogFormatOf(MessageLogFormat format) {
    switch (format) {
        case MessageLogFormat::Candump:
            return CandumpLogFormat();
        case MessageLogFormat::Asc:
            return AscLogFormat(QDateTime::currentDateTime());
        case MessageLogFormat::Csv:
            break;
    }
    return CsvLogFormat();
}

}  // namespace

MessageLogFormat MessageLogFormatFor(const std::string& nameFilter, const std::string& path) {
    if (nameFilter == kCandumpFileType) return MessageLogFormat::Candump;
    if (nameFilter == kAscFileType) return MessageLogFormat::Asc;
    if (nameFilter == kCsvFileType || nameFilter == kTextFileType) return MessageLogFormat::Csv;
    const QString extension = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (extension == "log") return MessageLogFormat::Candump;
    if (extension == "asc") return MessageLogFormat::Asc;
    return MessageLogFormat::Csv;
}

const char* MessageLogDefaultSuffix(const std::string& nameFilter) {
    if (nameFilter == kCandumpFileType) return "log";
    if (nameFilter == kAscFileType) return "asc";
    return kMessageLogDefaultSuffix;
}

void SaveMessageLog(const FrameStore& store, const std::string& path, UserMessages& messages,
                    const std::string& nameFilter) {
    const LogFormat format = LogFormatOf(MessageLogFormatFor(nameFilter, path));
    if (SaveFrameLog(store, path, format) == LogSaveResult::CannotWrite)
        messages.ShowMessage("Cannot write file\n" + path, "Error");
}
