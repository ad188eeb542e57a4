#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "transmit/precise_ticker.h"

struct CANBuffer;

// The gap Transmit All reads from the gap box: its integer value, 1 ms when the text is not an
// integer, and never below 1 ms (a 0 ms timer would fire on every pass of the event loop).
int TxGapFromText(std::string_view text);

// Sends transmit-list lines as frames and runs the whole list: one line per tick of a precise
// periodic timer whose period is the gap, once or in a loop. The list is read afresh through
// the hooks on every command and tick, so edits during a run take effect at once.
//
// Tick rule: each tick sends at most one frame; comment and blank lines are skipped within the
// tick; the end of the list is found on the tick after the last frame line went out, and then
// the run either starts again at line 0 (Loop Msgs) or ends. A frame that finds no room in the
// output buffer waits for a later tick, so the gap is the least spacing of the frames and none
// is dropped.
class TxListRunner {
  public:
    struct Hooks {
        std::function<int()> lineCount;                // not counting a final empty line
        std::function<std::string(int index)> lineAt;  // empty at or beyond the count
        std::function<bool()> loopMsgs;                // looked at when the end is reached
        std::function<void(const CANBuffer& record, bool ack)> transmitFrame;
        std::function<void(bool visible)> showStopButton;
        // False while the frame would find no room in the output buffer.
        std::function<bool(const CANBuffer& record, bool ack)> roomToTransmit;
    };

    explicit TxListRunner(Hooks hooks);

    // Sends one list line as a frame; true when the line was a frame (sent or not, as the
    // session drops frames while disconnected), false for a comment, a blank or a bad index.
    bool TransmitTxLine(int index, bool ack);
    // Starts a run, or restarts the current one at line 0 with the new gap.
    void TransmitAll(int gapMs);
    // The timer's callback.
    void TxTimerTick();
    // Ends a run; safe when none is active.
    void Stop();

    bool Running() const { return txPosition >= 0; }
    // -1 when idle, else the index of the line the run handled last.
    int Position() const { return txPosition; }
    const PreciseTicker& Timer() const { return timer_; }

  private:
    // Sends the next frame of the run, or ends the run, unless that frame has to wait.
    void Advance();

    Hooks hooks_;
    PreciseTicker timer_;
    int txPosition = -1;
    // Line 0 of the run has not been handled yet (its frame may be waiting for room).
    bool startPending_ = false;
};
