#pragma once

#include <string>
#include <vector>

class FrameStore;
class QDateTime;
class UserMessages;

// The file types of the save dialog of Save Message Log, the first one selected at the start.
inline constexpr char kCsvFileType[] = "Comma Separated Variable (*.CSV)";
inline constexpr char kTextFileType[] = "Text (*.txt)";
inline constexpr char kCandumpFileType[] = "candump log (*.log)";
inline constexpr char kAscFileType[] = "Vector ASC (*.asc)";
inline constexpr char kPcapngFileType[] = "Wireshark capture (*.pcapng)";
inline constexpr char kAllFileType[] = "All (*.*)";
// All of them, in the dialog's order.
std::vector<std::string> MessageLogFileTypes();

// The formats a message log is saved in.
enum class MessageLogFormat { Csv, Candump, Asc, Pcapng };

// The name the save dialog suggests: "ostrel-YYYYMMDD-HHMMSS.csv" of the time `now`.
std::string SuggestedLogName(const QDateTime& now);

// The file Save Message Log writes and its format.
struct MessageLogTarget {
    std::string path;
    MessageLogFormat format = MessageLogFormat::Csv;
};

// Where and how a name typed in the save dialog is saved: a name whose extension is one we
// write (.csv and .txt comma-separated, .log candump, .asc ASC, .pcapng pcapng, in any case)
// is saved as typed in that format, whatever file type is selected. Any other name is saved in
// the selected type's format with its extension added in lower case (comma-separated and
// ".csv" for "All" and unknown types), except that under "All" a name with an extension of its
// own keeps it.
MessageLogTarget ChooseMessageLogTarget(const std::string& typedPath,
                                        const std::string& nameFilter);

// Save Message Log to the chosen target: every stored frame in its format. An empty store
// writes nothing and says nothing (false); a file that cannot be written is left as it was
// and the user is told "Cannot write file", its path and the system's reason (false).
bool SaveMessageLog(const FrameStore& store, const MessageLogTarget& target,
                    UserMessages& messages);

// SaveMessageLog of the target chosen for `typedPath` and `nameFilter`.
bool SaveMessageLog(const FrameStore& store, const std::string& typedPath, UserMessages& messages,
                    const std::string& nameFilter = {});
