#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_reader.h"

// Reads the frames of a log of any format this tool writes (CSV, candump, ASC, pcapng), told
// by its contents, at most `maxFrames` of them. An empty log has no frames. False with `error`
// when it is not a log of a known format or has a bad line (its place in `error`).
bool ReadLog(std::string_view bytes, std::vector<LogFrame>& frames, LogReadError& error,
             size_t maxFrames = std::numeric_limits<size_t>::max());

// ReadLog of a file; also false, with the system's reason, when the file cannot be read.
bool ReadLogFile(const std::string& path, std::vector<LogFrame>& frames, LogReadError& error,
                 size_t maxFrames = std::numeric_limits<size_t>::max());
