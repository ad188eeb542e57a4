#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/user_messages.h"

// Answers the program's modal boxes and keeps their texts. `whileShown`, when set, runs inside
// each box, where a test can run a nested event loop as a real modal box does. Save dialogs
// are kept apart and answered with `saveAnswer`, open dialogs with `openAnswer`.
class RecordingUserMessages : public UserMessages {
  public:
    struct Box {
        std::string text;
        std::string caption;
    };

    void ShowMessage(const std::string& text, const std::string& caption) override {
        boxes.push_back({text, caption});
        if (whileShown) whileShown();
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        boxes.push_back({text, caption});
        if (whileShown) whileShown();
        return answerYes;
    }
    SaveFileChoice AskSaveFileName(const std::string& caption,
                                   const std::vector<std::string>& nameFilters,
                                   const std::string& startPath) override {
        saveDialogs.push_back({caption, nameFilters, startPath});
        return saveAnswer;
    }
    std::string AskOpenFileName(const std::string& caption,
                                const std::vector<std::string>& nameFilters,
                                const std::string& startFolder) override {
        openDialogs.push_back({caption, nameFilters, startFolder});
        return openAnswer;
    }

    struct FileDialog {
        std::string caption;
        std::vector<std::string> nameFilters;
        std::string start;
    };

    std::vector<Box> boxes;
    bool answerYes = true;
    std::function<void()> whileShown;
    std::vector<FileDialog> saveDialogs;
    SaveFileChoice saveAnswer;  // an empty path cancels
    std::vector<FileDialog> openDialogs;
    std::string openAnswer;  // empty cancels
};
