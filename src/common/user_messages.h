#pragma once

#include <string>
#include <vector>

// How the program talks to the user with modal boxes. The main window implements it with
// message boxes; tests implement it to answer the boxes and record their exact texts.
class UserMessages {
  public:
    // One file type of a save dialog: its name filter, "Text (*.txt)", and the extension the
    // dialog adds to a name typed without one while that type is selected.
    struct FileType {
        std::string nameFilter;
        std::string defaultSuffix;
    };
    // The file a save dialog ended with; an empty path when the user cancelled.
    struct SaveFileChoice {
        std::string path;
        std::string nameFilter;  // the file type selected at the end
    };

    virtual ~UserMessages() = default;
    // An OK box.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // A Yes/No box; true for Yes. Every question asks before something is thrown away, so No
    // is the default answer.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // A save dialog offering `types`, the first one selected at the start.
    virtual SaveFileChoice AskSaveFileName(const std::string& caption,
                                           const std::vector<FileType>& types) = 0;
};
