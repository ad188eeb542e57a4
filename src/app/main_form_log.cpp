// The main window's commands on the frame log as a whole: saving the stored frames, resetting
// the log, and the hidden test menu that feeds made-up received frames to the session.
#include <QString>
#include <random>

#include "app/main_form.h"
#include "common/user_messages.h"
#include "logs/save_message_log.h"
#include "monitor/status_page.h"
#include "session/device_commands.h"
#include "session/handle_can.h"

namespace {

constexpr uint32_t kTestIdentifier = 0x12345678;
constexpr int kTestFrameCount = 100;
constexpr uint32_t kExtendedIdMask = 0x1FFFFFFF;
// Device layout of a received frame without its brief flag, which the session sets.
constexpr uint8_t kReceivedLength = CANBufferPIC::kSize - 1;
// DebugTest's frame: the device's lost-frames flag, extended identifier 0x12345678, eight
// data bytes, time stamp 0.
constexpr uint8_t kDebugTestLayout[kReceivedLength] = {0x81, 0x91, 0xA8, 0x56, 0x78, 0x08, 0x55,
                                                       0xAA, 0x19, 0x11, 0xB6, 0x99, 0x11, 0x01};

std::vector<UserMessages::FileType> MessageLogFileTypes() {
    std::vector<UserMessages::FileType> types;
    for (const QString& filter : QString(kMessageLogFileTypes).split(";;")) {
        const std::string nameFilter = filter.toStdString();
        types.push_back({nameFilter, MessageLogDefaultSuffix(nameFilter)});
    }
    return types;
}

// The test menu's pseudo-random values, 0 ... 32767.
int TestRandom() {
    static std::mt19937 engine{std::random_device{}()};
    return static_cast<int>(engine() & 0x7FFF);
}

// A received-frame packet as the device sends it: control 0, the extended identifier `id`,
// `dlc` random data bytes, time stamp 0.
Frame TestFramePacket(uint32_t id, uint8_t dlc) {
    uint8_t data[8];
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(TestRandom() & 0xFF);
    uint8_t layout[CANBufferPIC::kSize];
    ToPIC(CANBuffer(id, false, true, dlc, data)).ToBytes(layout);
    return Frame(kLetterFrame, kReceivedLength, layout);
}

}  // namespace

void TMainForm::tbSaveBufferClick() {
    const UserMessages::SaveFileChoice choice =
        messages_.AskSaveFileName("Save Message Log", MessageLogFileTypes());
    if (choice.path.empty()) return;
    SaveMessageLog(session_->frames(), choice.path, messages_, choice.nameFilter);
}

bool TMainForm::ResetLog(bool withHardware) {
    if (session_->frames().Empty()) return false;
    const char* question =
        withHardware ? "Reset CAN Message Log and Hardware?" : "Reset CAN Message Log ?";
    if (!messages_.AskYesNo(question, "Confirm")) return true;
    FrameLogPanel& log = statusPage_->frameLog();
    log.ResetCounters();
    log.ClearLog();
    session_->ClearFrames();
    return false;
}

void TMainForm::DebugTest1Click() {
    Frame packet(kLetterFrame, kReceivedLength, kDebugTestLayout);
    session_->Dispatch(packet);
}

void TMainForm::Rx100IdenticalTestMessages1Click() {
    const auto dlc = static_cast<uint8_t>(5 + (TestRandom() & 3));
    Frame packet = TestFramePacket(kTestIdentifier, dlc);
    for (int i = 0; i < kTestFrameCount; ++i) session_->StoreFrame(packet, false);
}

void TMainForm::Receive100randommessages1Click() {
    for (int i = 0; i < kTestFrameCount; ++i) {
        const auto high = static_cast<uint32_t>(TestRandom());
        const auto low = static_cast<uint32_t>(TestRandom());
        const auto dlc = static_cast<uint8_t>(TestRandom() % 8);
        Frame packet = TestFramePacket(((high << 16) | low) & kExtendedIdMask, dlc);
        session_->StoreFrame(packet, false);
    }
}
