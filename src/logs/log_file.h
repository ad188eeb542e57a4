#pragma once

#include <string>
#include <vector>

#include "session/frame_store.h"

// What saving a frame log came to.
enum class LogSaveResult { Saved, NothingToSave, CannotWrite };

// Appends one frame as one line of a log format, without the line end, to `out`.
using LogLineFormat = void (*)(std::string& out, const CANBuffer& record);

// A log file format: the lines before the frames, one line per frame, the lines after them, and
// the line end of every line. Each format is a file of its own beside this one that supplies it.
struct LogFormat {
    LogLineFormat line = nullptr;
    const char* lineEnd = "\r\n";
    std::vector<std::string> header;
    std::vector<std::string> footer;
    // Bytes a frame's line and line end usually take, so that the text of a whole store is
    // reserved once.
    size_t lineCapacity = 64;
};

// Writes every stored frame, oldest first, as a line of `format`, between its header and footer.
// A brief frame carries only its header, so its time stamp is not the device's: it is given the
// time of the nearest earlier frame that has one (0 when there is none), which keeps a log in
// time order for the formats that show times.
// The text goes through a temporary file that replaces `path` only when it is complete, so on
// CannotWrite nothing was written, and `reason` (when given) says why. An empty store creates
// no file.
LogSaveResult SaveFrameLog(const FrameStore& store, const std::string& path,
                           const LogFormat& format, std::string* reason = nullptr);
