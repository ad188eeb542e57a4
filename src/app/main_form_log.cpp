// The main window's commands on the frame log as a whole: saving the stored frames, opening a
// saved log, resetting the log, and the hidden test menu that feeds made-up received frames to
// the session.
#include <QDateTime>
#include <QStatusBar>
#include <QString>
#include <cctype>
#include <random>

#include "app/file_choice.h"
#include "app/log_folder_setting.h"
#include "app/main_form.h"
#include "common/can_limits.h"
#include "common/user_messages.h"
#include "logs/read_log_file.h"
#include "logs/save_message_log.h"
#include "monitor/status_page.h"
#include "session/device_commands.h"
#include "session/handle_can.h"

namespace {

constexpr uint32_t kTestIdentifier = 0x12345678;
constexpr int kTestFrameCount = 100;
// Device layout of a received frame without its brief flag, which the session sets.
constexpr uint8_t kReceivedLength = CANBufferPIC::kSize - 1;
// DebugTest's frame: the device's lost-frames flag, extended identifier 0x12345678, eight
// data bytes, time stamp 0.
constexpr uint8_t kDebugTestLayout[kReceivedLength] = {0x81, 0x91, 0xA8, 0x56, 0x78, 0x08, 0x55,
                                                       0xAA, 0x19, 0x11, 0xB6, 0x99, 0x11, 0x01};

constexpr char kOpenLogFileTypes[] = "CAN logs (*.csv *.CSV *.txt *.log *.asc *.pcapng);;All (*)";

// "Line 12: bad data 'x'", or the reason alone when it is about the file as a whole.
std::string Described(const LogReadError& error) {
    if (error.place.empty()) return error.reason;
    std::string place = error.place;
    place[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(place[0])));
    return place + ": " + error.reason;
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

std::string TMainForm::LogFolder() const {
    return LastLogFolder(configPath_);
}

void TMainForm::tbSaveBufferClick() {
    const std::string suggested =
        LogFolder() + "/" + SuggestedLogName(QDateTime::currentDateTime());
    const UserMessages::SaveFileChoice choice =
        messages_.AskSaveFileName("Save Message Log", MessageLogFileTypes(), suggested);
    if (choice.path.empty()) return;
    const MessageLogTarget target = ChooseMessageLogTarget(choice.path, choice.nameFilter);
    if (!MayReplaceAddedName(messages_, choice.path, target.path)) return;
    const FrameStore& store = session_->frames();
    if (!SaveMessageLog(store, target, messages_)) return;
    RememberLogFolder(configPath_, target.path);
    // The file name only: the status bar leaves little room beside its fields.
    statusBar()->showMessage(QString("Saved %1 frames to %2")
                                 .arg(store.Size())
                                 .arg(QString::fromStdString(FileName(target.path))),
                             kSavedMessageMs);
}

void TMainForm::OpenLog1Click() {
    const std::string path =
        messages_.AskOpenFileName("Open Log", NameFilters(kOpenLogFileTypes), LogFolder());
    if (path.empty()) return;
    std::vector<LogFrame> frames;
    LogReadError error;
    if (!ReadLogFile(path, frames, error, FrameStore::kLimit + 1)) {
        messages_.ShowMessage("Cannot open log file\n" + path + "\n" + Described(error), "Error");
        return;
    }
    if (frames.empty()) {
        messages_.ShowMessage("The log file holds no frames\n" + path, "Error");
        return;
    }
    const bool connected = session_->connected;
    const size_t stored = session_->frames().Size();
    if (connected || stored > 0) {
        std::string question = "Open " + FileName(path) + "?";
        if (connected) question += "\nThe device will be disconnected.";
        if (stored > 0)
            question += "\nThe " + std::to_string(stored) + " frames in the log will be replaced.";
        if (!messages_.AskYesNo(question, "Confirm")) return;
    }
    if (connected) DisconnectClick();
    const bool cut = frames.size() > FrameStore::kLimit;
    if (cut) frames.resize(FrameStore::kLimit);
    FrameLogPanel& log = statusPage_->frameLog();
    log.ResetCounters();
    log.ClearLog();
    session_->ClearFrames();
    for (const LogFrame& frame : frames) session_->StoreRecord(frame.frame);
    OnSecondTimer();
    statusBar()->showMessage(QString::fromStdString("Log " + FileName(path)));
    if (cut)
        messages_.ShowMessage("The log file holds more than " + std::to_string(FrameStore::kLimit) +
                                  " frames; the first " + std::to_string(FrameStore::kLimit) +
                                  " were loaded.\n" + path,
                              "Information");
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
        Frame packet = TestFramePacket(((high << 16) | low) & kMaxExtendedId, dlc);
        session_->StoreFrame(packet, false);
    }
}
