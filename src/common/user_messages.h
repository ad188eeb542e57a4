#pragma once

#include <string>
#include <vector>

// How the program talks to the user with modal boxes. The main window implements it with
// message boxes; tests implement it to answer the boxes and record their exact texts.
class UserMessages {
  public:
    // The file a save dialog ended with, as the user typed it; an empty path when the user
    // cancelled.
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
    // A save dialog offering the file types `nameFilters` ("Text (*.txt)"), the first one
    // selected at the start, in the folder of `startPath` with its file name suggested.
    virtual SaveFileChoice AskSaveFileName(const std::string& caption,
                                           const std::vector<std::string>& nameFilters,
                                           const std::string& startPath) = 0;
    // An open dialog offering `nameFilters`, starting in `startFolder`; an empty path when the
    // user cancelled.
    virtual std::string AskOpenFileName(const std::string& caption,
                                        const std::vector<std::string>& nameFilters,
                                        const std::string& startFolder) = 0;
};

// The answers of a program without a window: boxes are not shown, each question is answered No
// and each file dialog is cancelled. The last message is kept for the caller to report.
class WindowlessUserMessages : public UserMessages {
  public:
    void ShowMessage(const std::string& text, const std::string&) override { lastMessage = text; }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    SaveFileChoice AskSaveFileName(const std::string&, const std::vector<std::string>&,
                                   const std::string&) override {
        return {};
    }
    std::string AskOpenFileName(const std::string&, const std::vector<std::string>&,
                                const std::string&) override {
        return {};
    }

    std::string lastMessage;
};
