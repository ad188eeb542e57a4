#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "transmit/tx_list_runner.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class TCANMessage;
struct CANBuffer;

// The Transmit List tab: a freely editable text of transmit lines, one frame per line, with
// commands to add and edit lines through the CAN Message dialog, delete them, send the line
// under the caret, and run the whole list with a gap, once or in a loop.
class TransmitListPage : public QWidget {
    Q_OBJECT
  public:
    struct Hooks {
        // The session's TransmitFrame; it drops the frame while disconnected.
        std::function<void(const CANBuffer& record, bool ack)> transmitFrame;
        // Shows or hides Stop Transmission on the main window's tool bar.
        std::function<void(bool visible)> showStopButton;
        // The session's RoomToTransmit: a run waits while it is false.
        std::function<bool(const CANBuffer& record, bool ack)> roomToTransmit;
    };

    TransmitListPage(TCANMessage& canMessage, Hooks hooks, QWidget* parent = nullptr);

    // The list's lines; a final empty line is not counted, so an empty list has none.
    int TxLineCount() const;
    // The line's text, empty at or beyond the count.
    std::string TxLine(int index) const;
    // Adds a line after the last one.
    void AppendTxLine(const std::string& line);
    // The line that holds the start of the selection (the caret).
    int CurrentLine() const;
    // The gap item whose text the gap box shows, -1 for a gap typed by hand or none; the
    // configuration stores this index, never a typed gap.
    int GapIndex() const;

    bool TransmitTxLine(int index, bool ack) { return runner_.TransmitTxLine(index, ack); }
    TxListRunner& Runner() { return runner_; }

    void bTransmitAddClick();
    void bEditClick();
    void bDeleteClick();
    void bTransmitLineClick();
    void bTransmitAllClick();
    // Stop Transmission; also run by Disconnect and when the frame store is full.
    void bStopTxClick() { runner_.Stop(); }
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();

    QWidget* Panel2;
    QPushButton* bTransmitAdd;
    QPushButton* bEdit;
    QPushButton* bDelete;
    QPushButton* bTransmitLine;
    QPushButton* bTransmitAll;
    QLabel* StaticText4;
    QComboBox* cbGap;
    QCheckBox* cbLoopMsgs;
    QPlainTextEdit* eTxList;
    QMenu* mTransmitList;

  private:
    void ReplaceLine(int index, const std::string& line);
    void DeleteLine(int index);
    void BuildContextMenu();

    TCANMessage& canMessage_;
    TxListRunner runner_;
};
