#include "export/log_file.h"

#include "common/replace_file.h"

LogSaveResult SaveFrameLog(const FrameStore& store, const std::string& path, LogLineFormat format) {
    if (store.Empty()) return LogSaveResult::NothingToSave;
    std::string text;
    for (const CANBuffer& record : store) text.append(format(record)).append("\r\n");
    return ReplaceFileContents(path, text) ? LogSaveResult::Saved : LogSaveResult::CannotWrite;
}
