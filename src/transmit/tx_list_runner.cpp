#include "transmit/tx_list_runner.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "session/can_buffer.h"
#include "transmit/tx_line.h"

namespace {

// The frame a list line describes, or none for a comment or blank line.
std::optional<CANBuffer> FrameOfLine(const std::string& line) {
    const auto fields = ParseTxLine(line);
    if (!fields) return std::nullopt;
    return CANBuffer(fields->id, fields->response, fields->extended, fields->dlc,
                     fields->data.data());
}

}  // namespace

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
    const std::optional<CANBuffer> record = FrameOfLine(hooks_.lineAt(index));
    if (!record) return false;
    hooks_.transmitFrame(*record, ack);
    return true;
}

void TxListRunner::TransmitAll(int gapMs) {
    hooks_.showStopButton(true);
    timer_.start(gapMs);  // a running timer restarts with the new period
    txPosition = 0;
    startPending_ = true;
    Advance();
}

void TxListRunner::TxTimerTick() {
    if (txPosition >= 0) Advance();
}

void TxListRunner::Advance() {
    // The line this step handles is chosen first and the run moves on only once its frame
    // has room: a frame that has to wait is chosen again, from the list as it is then.
    int position = txPosition;
    std::optional<CANBuffer> record;
    if (startPending_) {
        position = 0;
        record = FrameOfLine(hooks_.lineAt(0));
    } else {
        while (true) {
            if (position >= hooks_.lineCount()) {
                if (!hooks_.loopMsgs()) {
                    Stop();
                    return;
                }
                position = 0;
                record = FrameOfLine(hooks_.lineAt(0));
                break;
            }
            record = FrameOfLine(hooks_.lineAt(++position));
            if (record) break;
        }
    }
    if (record && !hooks_.roomToTransmit(*record, false)) return;
    startPending_ = false;
    txPosition = position;
    if (record) hooks_.transmitFrame(*record, false);
}

void TxListRunner::Stop() {
    timer_.stop();
    txPosition = -1;
    startPending_ = false;
    hooks_.showStopButton(false);
}
