#include "export/save_message_log.h"

#include "common/user_messages.h"
#include "export/csv_log.h"
#include "export/log_file.h"

void SaveMessageLog(const FrameStore& store, const std::string& path, UserMessages& messages) {
    if (SaveFrameLog(store, path, LogLine) == LogSaveResult::CannotWrite)
        messages.ShowMessage("Cannot write file\n" + path, "Error");
}
