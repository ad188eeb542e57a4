#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "common/on_demand.h"
#include "config/config_controls.h"
#include "config/tx_line_bytes.h"
#include "transmit/tx_list_runner.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class SessionCommands;
class TCANMessage;
struct CANBuffer;

// The Transmit List tab: a freely editable text of transmit lines, one frame per line, with
// commands to add and edit lines through the CAN Message dialog, delete them, send the line
// under the caret, and run the whole list with a gap, once or in a loop.
class TransmitListPage : public QWidget, public TransmitListConfigControls {
    Q_OBJECT
  public:
    TransmitListPage(OnDemand<TCANMessage> canMessage, SessionCommands& session,
                     QWidget* parent = nullptr);

    // The list's lines; a final empty line is not counted, so an empty list has none.
    int TxLineCount() const;
    // The line's text, empty at or beyond the count.
    std::string TxLine(int index) const;
    // Adds a line after the last one.
    void AppendTxLine(const std::string& line) override;
    // The line that holds the start of the selection (the caret).
    int CurrentLine() const;
    // The gap item whose text the gap box shows, -1 for a gap typed by hand or none; the
    // configuration stores this index, never a typed gap.
    int GapIndex() const;

    // The list and the gap as the configuration file stores them: each line in the bytes it
    // was read as, and the gap item last selected, -1 when none.
    std::vector<std::string> TxLines() const override;
    void SetTxLines(const std::vector<std::string>& lines) override;
    int SelectedGap() const override;
    void SelectGap(int index) override;

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

  signals:
    // A run of the list started (true) or ended: Stop Transmission is offered while it runs.
    void transmittingChanged(bool running);

  private:
    void ReplaceLine(int index, const std::string& line);
    void DeleteLine(int index);
    void BuildContextMenu();

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

    OnDemand<TCANMessage> canMessage_;
    TxListRunner runner_;
    TxLineBytes txLineBytes_;
};
