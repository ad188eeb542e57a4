#pragma once

#include <string>

class FrameStore;
class UserMessages;

// The save dialog of Save Message Log: its file types and the extension added to a name
// typed without one.
inline constexpr char kMessageLogFileTypes[] =
    "Comma Separated Variable (*.CSV);;Text (*.txt);;All (*.*)";
inline constexpr char kMessageLogDefaultSuffix[] = "CSV";

// Save Message Log once the user has chosen `path`: every stored frame as a comma-separated
// line. An empty store writes nothing and says nothing; a file that cannot be written is left
// as it was and the user is told "Cannot write file" with its path.
void SaveMessageLog(const FrameStore& store, const std::string& path, UserMessages& messages);
