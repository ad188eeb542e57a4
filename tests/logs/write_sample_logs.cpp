// Writes one known frame store as a candump log, a Vector ASC log and a pcapng capture, through
// Save Message Log with each file type selected, for the check by other CAN tools
// (check_logs_with_can_tools.py, which knows what the frames must read back as).
#include <cstdio>
#include <string>

#include "common/user_messages.h"
#include "logs/save_message_log.h"
#include "session/frame_store.h"

namespace {

// Prints what a save had to say; the program then fails.
class ReportingMessages : public WindowlessUserMessages {
  public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        failed = true;
    }
    bool failed = false;
};

FrameStore SampleStore() {
    const uint8_t bytes[8] = {0x55, 0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF0};
    const uint8_t pair[2] = {0x11, 0x22};
    FrameStore store;
    store.Append(CANBuffer(0x123, false, false, 2, pair, 0));
    store.Append(CANBuffer(0x12345678, false, true, 8, bytes, 3000001));
    store.Append(CANBuffer(0x7FF, true, false, 3, bytes, 4000003));
    store.Append(CANBuffer(0x1FFFFFFF, true, true, 0, bytes, 0xFFFFFFFF));
    store.Append(CANBuffer(0x000, false, false, 0, bytes, 5));
    // Brief frames as the device delivers them: length, data and time are whatever the
    // header-only packet left there.
    CANBuffer brief(0x18EF1234, false, true, 8, bytes, 777, true);
    brief.dlc = 8;
    store.Append(brief);
    store.Append(CANBuffer(0x456, true, false, 0, bytes, 999, true));
    CANBuffer overlong(0x100, false, true, 8, bytes, 2000000);
    overlong.dlc = 12;
    store.Append(overlong);
    store.Append(CANBuffer(0x7B, false, true, 1, bytes, 1, false, 0x80));
    return store;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const FrameStore store = SampleStore();
    ReportingMessages messages;
    SaveMessageLog(store, folder + "/sample.log", messages, kCandumpFileType);
    SaveMessageLog(store, folder + "/sample.asc", messages, kAscFileType);
    SaveMessageLog(store, folder + "/sample.pcapng", messages, kPcapngFileType);
    return messages.failed ? 1 : 0;
}
