#include "logs/log_file.h"

#include "common/replace_file.h"

LogSaveResult SaveFrameLog(const FrameStore& store, const std::string& path,
                           const LogFormat& format, std::string* reason) {
    if (store.Empty()) return LogSaveResult::NothingToSave;
    std::string text;
    text.reserve(store.Size() * format.lineCapacity + 256);
    for (const std::string& line : format.header) text.append(line).append(format.lineEnd);
    uint32_t lastKnownTime = 0;
    for (const CANBuffer& record : store) {
        if (record.brief) {
            CANBuffer timed = record;
            timed.timestamp = lastKnownTime;
            format.line(text, timed);
        } else {
            lastKnownTime = record.timestamp;
            format.line(text, record);
        }
        text.append(format.lineEnd);
    }
    for (const std::string& line : format.footer) text.append(line).append(format.lineEnd);
    return ReplaceFileContents(path, text, reason) ? LogSaveResult::Saved
                                                   : LogSaveResult::CannotWrite;
}
