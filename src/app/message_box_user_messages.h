#pragma once

#include "common/user_messages.h"

class QWidget;

// The user's modal boxes as Qt message boxes, owned by a window when one is given.
class MessageBoxUserMessages : public UserMessages {
public:
    explicit MessageBoxUserMessages(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    // A file dialog that adds the selected type's extension to a name typed without one.
    SaveFileChoice AskSaveFileName(const std::string& caption,
                                   const std::vector<FileType>& types) override;

private:
    QWidget* owner_;
};
