#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <list>

#include "session/can_buffer.h"
#include "session/device_probe.h"
#include "session/frame_store.h"
#include "session/session_commands.h"

class Frame;
class Serial;
class SessionHost;
class UserMessages;
struct ConfigRecord;
struct FilterEntry;

// The device session: the connect handshake and the reset, the commands sent to the device,
// the packets it sends back, the frame store, and the response timers that catch a device
// that does not answer.
class HandleCAN : public QObject, public SessionCommands {
    Q_OBJECT
  public:
    static constexpr int kIdentifyTimeoutMs = 2000;
    static constexpr int kAcknowledgeTimeoutMs = 1000;
    static constexpr int kResetSettleMs = DeviceProbe::kResetSettleMs;
    // How long the link stays open after the disconnect's reset, read by no one.
    static constexpr int kDisconnectSettleMs = 100;
    // Frames that found no room in the output buffer within this time are told in one log line.
    static constexpr int kUnsentReportMs = 1000;

    HandleCAN(SessionHost& form, UserMessages& messages, ConfigRecord& config);
    ~HandleCAN() override;

    // The connect handshake: resets the device, and once it has settled sends 'Y' and awaits
    // the answer; `identifySent` follows the 'Y'. The settle runs on a timer.
    void Identify();
    // True from Identify() until its 'Y' is sent.
    bool Settling() const { return settle_.isActive(); }
    // Disconnect's part: the reset form of the bus setup and the device reset. The link is to
    // stay open, unread, until kDisconnectSettleMs after the returned tick count of the reset
    // (0 without a link, when nothing is sent).
    uint64_t Reset();
    void Dispatch(Frame& packet);
    void StoreFrame(Frame& packet, bool brief);
    // Stores a record as a received one (numbered, shown, counted against the store limit).
    void StoreRecord(const CANBuffer& record);
    void ClearFrames();
    // Sends the frame while connected. A frame that finds no room in the output buffer is not
    // sent, shown, counted or awaited; the log tells how many such frames there were.
    void TransmitFrame(const CANBuffer& record, bool ack) override;
    // False while the open link has no room for the frame's packet; true when nothing would
    // be written anyway (not connected), as then there is nothing to wait for.
    bool RoomToTransmit(const CANBuffer& record, bool ack) override;
    void SendSetup(bool reset);
    void SetBriefMode(bool brief) override { briefMode_ = brief; }
    void SendSetupAndFilters(bool setupOnly) override;
    void SendFilter(int number, const FilterEntry& entry);
    void SendDisplayFlags();
    void ArmTimer(int letter, int milliseconds);
    void CancelTimer(int letter);
    void OnConnected();
    void OnTimeout(int letter);
    // The link went away under the session: the pending answers are forgotten and the session
    // is not connected; nothing is sent.
    void LinkLost();

    const FrameStore& frames() const { return store_; }
    const CANBuffer* head() const { return store_.head(); }
    // Pending response timers, newest first.
    size_t PendingTimers() const { return timerHead.size(); }

    // Frames received since the store was last cleared, including those past the limit.
    uint32_t count = 0;
    bool connected = false;

  signals:
    void identifySent();

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    // One awaited reply letter and the one-shot system timer behind it.
    struct CANTimer {
        int letter;
        int timerId;  // kStoppedTimerId once the system timer is stopped
        uint64_t serial;
    };
    static constexpr int kStoppedTimerId = 0;  // Qt never hands out 0

    void SendPacket(uint8_t letter, const uint8_t* payload, uint8_t length);
    static Frame FramePacket(const CANBuffer& record, bool ack);
    void NoteUnsentFrame();
    void ReportUnsentFrames();
    void SendIdentify();
    void DestroyAllTimers();
    void StopSystemTimer(CANTimer& timer);

    SessionHost& form_;
    UserMessages& messages_;
    ConfigRecord& config_;
    FrameStore store_;
    std::list<CANTimer> timerHead;  // newest first
    QTimer settle_;                 // the identify's wait after the reset
    uint64_t settledAt_ = 0;
    uint64_t lastTimerSerial_ = 0;
    int unsentFrames_ = 0;  // not yet told in the log
    bool briefMode_ = false;
};
