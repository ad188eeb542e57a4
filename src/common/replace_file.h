#pragma once

#include <string>
#include <string_view>

// Replaces the file at `path` (UTF-8) with `contents`. The bytes go to a temporary file in the same
// folder, which is flushed to disk and only then renamed over the target, so a crash or a full
// disk never leaves a half-written file. On any failure the temporary file is removed, the
// target stays exactly as it was (or absent), the result is false, and `reason` (when given)
// gets the system's reason, "Permission denied" for example.
bool ReplaceFileContents(const std::string& path, std::string_view contents,
                         std::string* reason = nullptr);
