#pragma once

#include <string>

class FrameStore;
class UserMessages;

// The file types of the save dialog of Save Message Log, the first one selected at the start,
// and the extension added to a name typed without one.
inline constexpr char kCsvFileType[] = "Comma Separated Variable (*.CSV)";
inline constexpr char kTextFileType[] = "Text (*.txt)";
inline constexpr char kCandumpFileType[] = "candump log (*.log)";
inline constexpr char kAscFileType[] = "Vector ASC (*.asc)";
inline constexpr char kAllFileType[] = "All (*.*)";
inline constexpr char kMessageLogFileTypes[] =
    "Comma Separated Variable (*.CSV);;Text (*.txt);;candump log (*.log);;Vector ASC (*.asc);;"
    "All (*.*)";
inline constexpr char kMessageLogDefaultSuffix[] = "CSV";

// The formats a message log is saved in.
enum class MessageLogFormat { Csv, Candump, Asc };

// The format of a file chosen in the save dialog: the selected file type (`nameFilter`) names
// it (Text holds comma-separated lines). With "All", or no known type, the file's extension
// decides: .log candump, .asc ASC, anything else comma-separated.
MessageLogFormat MessageLogFormatFor(const std::string& nameFilter, const std::string& path);

// The extension the dialog should add to a name typed without one while `nameFilter` is
// selected, so that a candump or ASC log gets its own extension: "log", "asc", otherwise "CSV".
const char* MessageLogDefaultSuffix(const std::string& nameFilter);

// Save Message Log once the user has chosen `path` with the file type `nameFilter` selected:
// every stored frame in the format MessageLogFormatFor picks. An empty store writes nothing
// and says nothing; a file that cannot be written is left as it was and the user is told
// "Cannot write file" with its path.
void SaveMessageLog(const FrameStore& store, const std::string& path, UserMessages& messages,
                    const std::string& nameFilter = {});
