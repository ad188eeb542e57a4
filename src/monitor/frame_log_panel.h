#pragma once

#include <QWidget>
#include <cstddef>
#include <string>

#include "config/config_file.h"
#include "monitor/log_throttle.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class FrameStore;
struct CANBuffer;
struct ConfigRecord;

// The lower half of the Status tab: the " CAN Data " group with the counters, the
// "Packets Missed" indicator and the display options, and the frame log FrameList below it.
class FrameLogPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kHintLine = kDynamicDisplayHint;
    static constexpr const char* kEllipsisLine = "...";
    // FrameList keeps this many of its newest lines.
    static constexpr int kMaxLogLines = 100000;

    FrameLogPanel(ConfigRecord& config, const FrameStore& store, QWidget* parent = nullptr);

    // A received frame that the session stored.
    void ShowFrame(const CANBuffer& record);
    void ShowSentFrame(const CANBuffer& record);
    // Appends the frame's line unless Show Rx / Show Tx hides its direction.
    void AddFrameLine(const CANBuffer& record, bool transmitted);
    // Lists the stored frames from index `from` up to, not including, `to`, oldest first; an
    // empty store leaves the log as it is.
    void ListFrames(size_t from, size_t to);
    void OnSecondTimer();
    void AddLine(const std::string& line);
    void ClearLog();
    // Reset Log's part of the counters: both start again from 0 and show it at once.
    void ResetCounters();
    void HideMissedPackets();

    void cbDynamicDisplayClick();
    void tbClearListClick();
    // The display options' part of the window's control update.
    void ShowDisplayOptions(bool dynamicDisplay);

  signals:
    // The user changed Dynamic Display; the window's controls follow it.
    void dynamicDisplayChanged();
    // The Received counter now shows `count`.
    void receivedCountShown(int count);

  private:
    void ApplyOutcome(LogThrottle::Outcome outcome, bool transmitted, const CANBuffer& record);
    void ShowReceivedCount();
    void ShowTransmittedCount();
    void KeepFollowingTheEnd();

    ConfigRecord& config_;
    const FrameStore& store_;
    LogThrottle throttle_;

    QLineEdit* eReceived_;
    QLineEdit* eTransmitted_;
    QLabel* tMissedPackets_;
    QCheckBox* cbDynamicDisplay_;
    QCheckBox* cbShowTx_;
    QCheckBox* cbShowRx_;
    QPlainTextEdit* frameList_;
    bool followingEnd_ = true;
};
