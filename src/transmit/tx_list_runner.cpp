#include "transmit/tx_list_runner.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "session/can_buffer.h"
#include "transmit/tx_line.h"

int TxGapFromText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int gap = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), gap);
    if (error != std::errc() || end != text.data() + text.size()) return 1;
    return std::max(gap, 1);
}

TxListRunner::TxListRunner(Hooks hooks) : hooks_(std::move(hooks)) {
    QObject::connect(&timer_, &PreciseTicker::timeout, &timer_, [this] { TxTimerTick(); });
}

bool TxListRunner::TransmitTxLine(int index, bool ack) {
    if (index < 0) return false;
    const auto frame = ParseTxLine(hooks_.lineAt(index));
    if (!frame) return false;
    const CANBuffer record(frame->id, frame->response, frame->extended, frame->dlc,
                           frame->data.data());
    hooks_.transmitFrame(record, ack);
    return true;
}

void TxListRunner::TransmitAll(int gapMs) {
    hooks_.showStopButton(true);
    timer_.start(gapMs);  // a running timer restarts with the new period
    txPosition = 0;
    TransmitTxLine(0, false);
}

void TxListRunner::TxTimerTick() {
    // The transmit hook may stop the run (a disconnect), so the position is checked each turn.
    while (txPosition >= 0) {
        if (txPosition >= hooks_.lineCount()) {
            if (hooks_.loopMsgs()) {
                txPosition = 0;
                TransmitTxLine(0, false);
            } else {
                Stop();
            }
            return;
        }
        ++txPosition;
        if (TransmitTxLine(txPosition, false)) return;
    }
}

void TxListRunner::Stop() {
    timer_.stop();
    txPosition = -1;
    hooks_.showStopButton(false);
}
