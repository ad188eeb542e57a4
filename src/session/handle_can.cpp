#include "session/handle_can.h"

#include <QTimer>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

#include "common/can_limits.h"
#include "common/filter_slots.h"
#include "common/ticks.h"
#include "common/user_messages.h"
#include "config/config_record.h"
#include "link/frame.h"
#include "link/serial.h"
#include "session/device_commands.h"
#include "session/session_host.h"

namespace {

void PutLittleEndian32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

HandleCAN::HandleCAN(SessionHost& form, UserMessages& messages, ConfigRecord& config)
    : form_(form), messages_(messages), config_(config) {
    settle_.setSingleShot(true);
    settle_.setTimerType(Qt::PreciseTimer);
    connect(&settle_, &QTimer::timeout, this, &HandleCAN::SendIdentify);
}

HandleCAN::~HandleCAN() {
    DestroyAllTimers();
}

void HandleCAN::SendPacket(uint8_t letter, const uint8_t* payload, uint8_t length) {
    Frame packet(letter, length, payload);
    packet.Send(form_.CurrentSerial());
}

void HandleCAN::Identify() {
    Serial* link = form_.CurrentSerial();
    settledAt_ = (link != nullptr ? DeviceProbe::ResetDevice(*link) : TickCount()) + kResetSettleMs;
    settle_.start(kResetSettleMs);
}

void HandleCAN::SendIdentify() {
    // A timer may end a little early at millisecond resolution; the device gets its whole wait.
    BusyWaitUntil(settledAt_);
    SendPacket(kLetterIdentify, nullptr, 0);
    ArmTimer(kLetterIdentify, kIdentifyTimeoutMs);
    emit identifySent();
}

uint64_t HandleCAN::Reset() {
    Serial* link = form_.CurrentSerial();
    if (link == nullptr) return 0;
    DestroyAllTimers();
    SendSetup(true);
    const uint64_t resetAt = DeviceProbe::ResetDevice(*link);
    connected = false;
    return resetAt;
}

void HandleCAN::OnConnected() {
    CancelTimer(kLetterIdentify);
    connected = true;
    form_.AddLogLine(" ** Connected **");
    SendSetupAndFilters(false);
    SendDisplayFlags();
    form_.UpdateControls();
}

void HandleCAN::Dispatch(Frame& packet) {
    if (packet.command == kLetterIdentified) {
        // Before the 'Y' is out, a 'Z' cannot be its answer.
        if (!Settling()) OnConnected();
        return;
    }
    if (!connected) return;
    switch (packet.command) {
        // A packet too short for what its letter carries is no frame the device sent: a length
        // byte lost on the line leaves one (the control byte taken for the length), and
        // storing it would show a frame of zeros.
        case kLetterFrame:
            if (packet.length >= kFramePayloadRead) StoreFrame(packet, false);
            break;
        case kLetterBriefFrame:
            if (packet.length >= kBriefPayloadRead) StoreFrame(packet, true);
            break;
        case kLetterAcknowledge:
            CancelTimer(kLetterAcknowledge);
            break;
        default:
            break;
    }
}

void HandleCAN::StoreFrame(Frame& packet, bool brief) {
    packet.payload[CANBufferPIC::kSize - 1] = brief ? 1 : 0;
    StoreRecord(FromPIC(CANBufferPIC::FromBytes(packet.payload.data()), 0));
}

void HandleCAN::StoreRecord(const CANBuffer& received) {
    if (count < FrameStore::kLimit) {
        CANBuffer record = received;
        record.sequence = count;
        const CANBuffer& stored = store_.Append(record);
        ++count;
        form_.ShowFrame(&stored);
        return;
    }
    const bool limitReached = count == FrameStore::kLimit;
    // Stops at its largest value: a count that wrapped to 0 would start storing again.
    if (count != UINT32_MAX) ++count;
    // Counted first: the host's box runs the event loop, and a frame handled while it is open
    // must not open another.
    if (limitReached) form_.ShowFrame(nullptr);
}

void HandleCAN::ClearFrames() {
    store_.Clear();
    count = 0;
}

Frame HandleCAN::FramePacket(const CANBuffer& record, bool ack) {
    uint8_t layout[CANBufferPIC::kSize];
    ToPIC(record).ToBytes(layout);
    const int dataBytes = std::min<int>(record.brief ? 0 : record.dlc, 8);
    return Frame(ack ? kLetterFrameAck : kLetterFrame,
                 static_cast<uint8_t>(CANBufferPIC::kHeaderSize + dataBytes), layout);
}

void HandleCAN::TransmitFrame(const CANBuffer& record, bool ack) {
    if (!connected) return;
    if (!FramePacket(record, ack).Write(form_.CurrentSerial())) {
        NoteUnsentFrame();
        return;
    }
    if (ack) ArmTimer(kLetterAcknowledge, kAcknowledgeTimeoutMs);
    // The log shows the identifier the device got: the bits its registers hold.
    CANBuffer sent = record;
    sent.id = FromPIC(ToPIC(record), record.layout).id;
    form_.ShowSentFrame(sent);
}

bool HandleCAN::RoomToTransmit(const CANBuffer& record, bool ack) {
    Serial* link = form_.CurrentSerial();
    if (!connected || link == nullptr) return true;
    return FramePacket(record, ack).FitsIn(*link);
}

// Told once for every burst: the first unsent frame starts the wait, later ones join it.
void HandleCAN::NoteUnsentFrame() {
    if (unsentFrames_++ == 0)
        QTimer::singleShot(kUnsentReportMs, this, &HandleCAN::ReportUnsentFrames);
}

void HandleCAN::ReportUnsentFrames() {
    const int unsent = std::exchange(unsentFrames_, 0);
    form_.AddLogLine(" ** " + std::to_string(unsent) + (unsent == 1 ? " frame" : " frames") +
                     " not sent: output buffer full **");
}

void HandleCAN::SendSetup(bool reset) {
    if (!connected) return;
    uint8_t payload[kBusSetupLength];
    PutLittleEndian32(payload, static_cast<uint32_t>(config_.busRate));
    payload[4] = reset ? 0 : config_.loopback;
    payload[5] = reset ? 0 : config_.listenOnly;
    payload[6] = reset ? 0 : (briefMode_ ? 1 : 0);
    SendPacket(kLetterBusSetup, payload, sizeof payload);
}

void HandleCAN::SendSetupAndFilters(bool setupOnly) {
    SendSetup(false);
    if (setupOnly) return;
    FilterEntry sent[kFilterSlots];
    const bool useList = config_.useFilters != 0;
    for (int j = 0; j < kFilterSlots; ++j) {
        if (useList && j < config_.filterCount) {
            sent[j] = config_.filters[j];
            continue;
        }
        // A default slot opens nothing more than the first slot of its group already does
        // (a group shares one mask): the first group's leader opens everything, the second's
        // only extended identifier 0.
        FilterEntry entry;
        entry.id = 0;
        entry.extended = 1;
        const int leader = FilterGroupLeader(j);
        if (leader != j)
            entry.mask = sent[leader].mask;
        else
            entry.mask = j == 0 ? 0 : kMaxExtendedId;
        sent[j] = entry;
    }
    for (int j = 0; j < kFilterSlots; ++j) SendFilter(j, sent[j]);
}

void HandleCAN::SendFilter(int number, const FilterEntry& entry) {
    if (!connected) return;
    uint8_t payload[kFilterLength];
    payload[0] = static_cast<uint8_t>(number);
    payload[1] = entry.extended;
    PutLittleEndian32(payload + 2, entry.id);
    PutLittleEndian32(payload + 6, entry.mask);
    SendPacket(kLetterFilter, payload, sizeof payload);
}

void HandleCAN::SendDisplayFlags() {
    if (!connected) return;
    const uint8_t flags = config_.lcdOn ? 1 : 0;
    SendPacket(kLetterDisplay, &flags, 1);
}

void HandleCAN::ArmTimer(int letter, int milliseconds) {
    const int id = startTimer(milliseconds, Qt::PreciseTimer);
    timerHead.push_front(CANTimer{letter, id, ++lastTimerSerial_});
}

void HandleCAN::CancelTimer(int letter) {
    const auto match = std::find_if(timerHead.begin(), timerHead.end(),
                                    [letter](const CANTimer& t) { return t.letter == letter; });
    if (match == timerHead.end()) return;
    StopSystemTimer(*match);
    timerHead.erase(match);
}

void HandleCAN::LinkLost() {
    DestroyAllTimers();
    connected = false;
}

void HandleCAN::DestroyAllTimers() {
    settle_.stop();
    for (CANTimer& timer : timerHead) StopSystemTimer(timer);
    timerHead.clear();
}

// An expired timer stays in the list while its time-out runs, with its system timer already
// stopped and its id free for Qt to hand to a new timer.
void HandleCAN::StopSystemTimer(CANTimer& timer) {
    if (timer.timerId != kStoppedTimerId) killTimer(timer.timerId);
    timer.timerId = kStoppedTimerId;
}

void HandleCAN::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    const auto timer = std::find_if(timerHead.begin(), timerHead.end(),
                                    [id](const CANTimer& t) { return t.timerId == id; });
    if (timer == timerHead.end()) {
        killTimer(id);
        return;
    }
    // Stopped first, so it never fires twice; identified by serial from here on, as OnTimeout
    // may show a modal box during which its id goes to a new timer.
    StopSystemTimer(*timer);
    const uint64_t serial = timer->serial;
    OnTimeout(timer->letter);
    // A disconnect inside OnTimeout may already have destroyed the timer.
    const auto still = std::find_if(timerHead.begin(), timerHead.end(),
                                    [serial](const CANTimer& t) { return t.serial == serial; });
    if (still != timerHead.end()) timerHead.erase(still);
}

void HandleCAN::OnTimeout(int letter) {
    if (letter != kLetterIdentify && letter != kLetterAcknowledge) return;
    // The link closes after this box, so the other waits have nothing new to report: without
    // them, no second box opens over this one while it is shown.
    DestroyAllTimers();
    if (letter == kLetterIdentify) {
        messages_.ShowMessage("Can't find Brannox", "Information");
        form_.DisconnectClick();
    } else if (letter == kLetterAcknowledge) {
        messages_.ShowMessage("Brannox Timeout\nDisconnected", "Information");
        form_.DisconnectClick();
    }
}
