#pragma once

#include <string>
#include <string_view>

// Replaces the file at `path` (UTF-8) with `contents`. The bytes go to a temporary file in the same
// folder, which is flushed to disk and only then renamed over the target, so a crash or a full
// disk never leaves a half-written file. On any failure the temporary file is removed, the
// target stays exactly as it was (or absent), the result is false and `failure`, when given,
// holds the system's reason ("No space left on device").
bool ReplaceFileContents(const std::string& path, std::string_view contents,
                         std::string* failure = nullptr);

// Removes the temporary files that a ReplaceFileContents of `path` left behind when the program
// was killed before it could rename or remove them: only names of their pattern, only beside
// `path`.
void RemoveLeftoverTemporaries(const std::string& path);
