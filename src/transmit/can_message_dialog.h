#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>

#include "transmit/can_message_model.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The modal editor of one transmit line. It is created once and reused for every Add and Edit
// Line, so its boxes keep their contents between uses. The rules live in CanMessageModel;
// the handlers here only move text between it and the controls.
class TCANMessage : public QDialog {
    Q_OBJECT
  public:
    explicit TCANMessage(QWidget* parent = nullptr);

    // Loads the line (none: Add's default line), shows the dialog and returns the line formed
    // on OK, or an empty text after Cancel or closing the window.
    std::string EditTxLine(const std::optional<std::string>& line);
    bool NoteTouched() const { return content_.noteTouched; }

    QFrame* Bevel1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QLineEdit* eID;
    QCheckBox* cbExtendedID;
    QComboBox* cbDLC;
    QCheckBox* cbRTR;
    std::array<QLineEdit*, CanMessageModel::kMaxBytes> dataEdits;
    QLabel* tData1;
    QLabel* tData2;
    QLineEdit* eBigData;
    QPlainTextEdit* eNote;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The change handler of cbDLC, the byte boxes and eBigData.
    void SetupForm(QWidget* changed);
    void eIDChange();
    void eNoteChange();
    void CentreOnScreen();
    // Writes the content into the controls, keeping each box's caret where it was.
    void ShowContent();

    CanMessageModel content_;
    // Re-entry guards: the changes these handlers make to their own controls run no rule.
    int settingUp = 0;
    bool idChanging = false;
};
