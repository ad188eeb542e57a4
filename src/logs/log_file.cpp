#include "logs/log_file.h"

#include "common/replace_file.h"

LogSaveResult SaveFrameLog(const FrameStore& store, const std::string& path,
                           const LogFormat& format) {
    if (store.Empty()) return LogSaveResult::NothingToSave;
    std::string text;
    for (const std::string& line : format.header) text.append(line).append(format.lineEnd);
    uint32_t lastKnownTime = 0;
    for (const CANBuffer& record : store) {
        if (record.brief) {
            CANBuffer timed = record;
            timed.timestamp = lastKnownTime;
            text.append(format.line(timed));
        } else {
            lastKnownTime = record.timestamp;
            text.append(format.line(record));
        }
        text.append(format.lineEnd);
    }
    for (const std::string& line : format.footer) text.append(line).append(format.lineEnd);
    return ReplaceFileContents(path, text) ? LogSaveResult::Saved : LogSaveResult::CannotWrite;
}
