#pragma once

#include <string>

#include "session/frame_store.h"

// What saving a frame log came to.
enum class LogSaveResult { Saved, NothingToSave, CannotWrite };

// One frame as one line of a log format, without the line end. Each log format is a file of
// its own beside this one that supplies such a function.
using LogLineFormat = std::string (*)(const CANBuffer& record);

// Writes every stored frame, oldest first, as a line of `format` ended by CR LF. The text goes
// through a temporary file that replaces `path` only when it is complete, so on CannotWrite
// nothing was written. An empty store creates no file.
LogSaveResult SaveFrameLog(const FrameStore& store, const std::string& path, LogLineFormat format);
