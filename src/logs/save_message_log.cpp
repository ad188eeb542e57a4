#include "logs/save_message_log.h"

#include <QDateTime>
#include <QFileInfo>

#include "common/user_messages.h"
#include "logs/asc_log.h"
#include "logs/candump_log.h"
#include "logs/csv_log.h"
#include "logs/log_file.h"
#include "logs/pcapng_log.h"

namespace {

LogFormat LogFormatOf(MessageLogFormat format) {
    switch (format) {
        case MessageLogFormat::Candump:
            return CandumpLogFormat();
        case MessageLogFormat::Asc:
            return AscLogFormat(QDateTime::currentDateTime());
        case MessageLogFormat::Pcapng:
            return PcapngLogFormat();
        case MessageLogFormat::Csv:
            break;
    }
    return CsvLogFormat();
}

// A file type of the dialog, the format it saves in and the extension it adds. The first
// extension of a format is the one added; .txt is the Text type's.
struct FileTypeFormat {
    const char* nameFilter;
    MessageLogFormat format;
    const char* extension;
};

constexpr FileTypeFormat kFileTypeFormats[] = {
    {kCsvFileType, MessageLogFormat::Csv, "csv"},
    {kTextFileType, MessageLogFormat::Csv, "txt"},
    {kCandumpFileType, MessageLogFormat::Candump, "log"},
    {kAscFileType, MessageLogFormat::Asc, "asc"},
    {kPcapngFileType, MessageLogFormat::Pcapng, "pcapng"},
};

const FileTypeFormat& FileTypeFormatOf(const std::string& nameFilter) {
    for (const FileTypeFormat& type : kFileTypeFormats)
        if (nameFilter == type.nameFilter) return type;
    return kFileTypeFormats[0];
}

}  // namespace

std::vector<std::string> MessageLogFileTypes() {
    return {kCsvFileType, kTextFileType,   kCandumpFileType,
            kAscFileType, kPcapngFileType, kAllFileType};
}

std::string SuggestedLogName(const QDateTime& now) {
    return now.toString("'ostrel-'yyyyMMdd-HHmmss'.csv'").toStdString();
}

MessageLogTarget ChooseMessageLogTarget(const std::string& typedPath,
                                        const std::string& nameFilter) {
    const QFileInfo typed(QString::fromStdString(typedPath));
    const std::string extension = typed.suffix().toLower().toStdString();
    for (const FileTypeFormat& known : kFileTypeFormats)
        if (extension == known.extension) return {typedPath, known.format};
    if (nameFilter == kAllFileType && !extension.empty()) return {typedPath, MessageLogFormat::Csv};
    const FileTypeFormat& chosen = FileTypeFormatOf(nameFilter);
    return {typedPath + "." + chosen.extension, chosen.format};
}

bool SaveMessageLog(const FrameStore& store, const MessageLogTarget& target,
                    UserMessages& messages) {
    std::string reason;
    const LogFormat format = LogFormatOf(target.format);
    switch (SaveFrameLog(store, target.path, format, &reason)) {
        case LogSaveResult::Saved:
            return true;
        case LogSaveResult::CannotWrite:
            messages.ShowMessage("Cannot write file\n" + target.path + "\n" + reason, "Error");
            break;
        case LogSaveResult::NothingToSave:
            break;
    }
    return false;
}

bool SaveMessageLog(const FrameStore& store, const std::string& typedPath, UserMessages& messages,
                    const std::string& nameFilter) {
    return SaveMessageLog(store, ChooseMessageLogTarget(typedPath, nameFilter), messages);
}
