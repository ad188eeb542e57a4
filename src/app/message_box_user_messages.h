#pragma once

#include <QPointer>

#include "common/user_messages.h"

class QFileDialog;
class QWidget;

// The user's modal boxes as Qt message boxes, owned by a window when one is given.
class MessageBoxUserMessages : public UserMessages {
  public:
    explicit MessageBoxUserMessages(QWidget* owner = nullptr) : owner_(owner) {}
    ~MessageBoxUserMessages() override;
    MessageBoxUserMessages(const MessageBoxUserMessages&) = delete;
    MessageBoxUserMessages& operator=(const MessageBoxUserMessages&) = delete;
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    // A file dialog that returns the name as typed; the caller adds an extension. The dialog is
    // kept (hidden) for the next save, so that closing it costs nothing before the save
    // starts.
    SaveFileChoice AskSaveFileName(const std::string& caption,
                                   const std::vector<std::string>& nameFilters,
                                   const std::string& startPath) override;
    std::string AskOpenFileName(const std::string& caption,
                                const std::vector<std::string>& nameFilters,
                                const std::string& startFolder) override;

  private:
    QWidget* owner_;
    QPointer<QFileDialog> saveDialog_;
};
