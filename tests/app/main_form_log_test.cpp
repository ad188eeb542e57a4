// Reset Log, Reset All, Save Message Log and the hidden test menu of the main window.
#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QMenu>

#include "main_form_fixture.h"
#include "session/handle_can.h"
#include "support/file_bytes.h"

namespace {

class MainFormLogTest : public MainFormTest {
  protected:
    const FrameStore& Store() { return form.session().frames(); }
    std::string Counter(const char* name) { return Control<QLineEdit>(name)->text().toStdString(); }
    void Receive100() { form.actions().Rx100IdenticalTestMessages1->trigger(); }
    // What a save written through the dialog answer `nameFilter` holds.
    std::string SaveAs(const char* fileName, const char* nameFilter) {
        const std::string path = folder.filePath(fileName).toStdString();
        messages.saveAnswer = {path, nameFilter};
        form.actions().SaveMessageLog1->trigger();
        return ReadFileBytes(path);
    }
};

TEST_F(MainFormLogTest, ResetLogOnAnEmptyStoreAsksNothingAndKeepsTheCounters) {
    Connect();
    form.actions().tbTransmit->trigger();
    const QStringList lines = LogLines();
    form.actions().tbClearBuffer->trigger();
    form.actions().ResetLog1->trigger();
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(Counter("eTransmitted"), "1");
    EXPECT_EQ(LogLines(), lines);
}

TEST_F(MainFormLogTest, ResetLogAsksAndOnlyYesClearsCountersLogAndStore) {
    Receive100();
    messages.answerYes = false;
    form.actions().ResetLog1->trigger();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Reset CAN Message Log ?");
    EXPECT_EQ(messages.boxes[0].caption, "Confirm");
    EXPECT_EQ(Store().Size(), 100u);
    EXPECT_EQ(LogLines().size(), 5);
    form.OnSecondTimer();
    EXPECT_EQ(Counter("eReceived"), "100");
    Receive100();

    messages.answerYes = true;
    form.actions().tbClearBuffer->trigger();
    EXPECT_TRUE(Store().Empty());
    EXPECT_EQ(form.session().count, 0u);
    EXPECT_EQ(Counter("eReceived"), "0");
    EXPECT_EQ(Counter("eTransmitted"), "0");
    EXPECT_TRUE(LogLines().isEmpty());
    // The counters count again from 0, and so do the frames of this second: the first two
    // frames write their counter at once.
    Receive100();
    EXPECT_EQ(Store()[0].sequence, 0u);
    EXPECT_EQ(Counter("eReceived"), "2");
}

TEST_F(MainFormLogTest, ResetLogPressedByAssistiveTechnologyAsksEveryTime) {
    // What a screen reader's Press on the CAN menu's Reset Log does, twice.
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(Control<QMenu>("Logging1"));
    QAccessibleActionInterface* press = nullptr;
    for (int i = 0; i < menu->childCount(); ++i)
        if (menu->child(i)->object() == form.actions().ResetLog1)
            press = menu->child(i)->actionInterface();
    ASSERT_NE(press, nullptr);
    for (size_t time = 1; time <= 2; ++time) {
        Receive100();
        press->doAction(QAccessibleActionInterface::pressAction());
        ASSERT_EQ(messages.boxes.size(), time);
        EXPECT_EQ(messages.boxes.back().text, "Reset CAN Message Log ?");
        EXPECT_TRUE(Store().Empty());
    }
}

TEST_F(MainFormLogTest, ResetLogAfterTheStoreLimitLetsFramesInAgain) {
    for (uint32_t stored = 0; stored <= FrameStore::kLimit; stored += 100) Receive100();
    ASSERT_EQ(Store().Size(), FrameStore::kLimit);
    ASSERT_EQ(messages.boxes.size(), 1u);  // the limit was reported once
    form.actions().ResetLog1->trigger();
    Receive100();
    EXPECT_EQ(Store().Size(), 100u);
}

TEST_F(MainFormLogTest, ResetAllResetsTheDeviceOnlyWhenConfirmed) {
    Connect();
    Receive100();
    messages.answerYes = false;
    form.actions().tbResetAll->trigger();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Reset CAN Message Log and Hardware?");
    EXPECT_EQ(messages.boxes[0].caption, "Confirm");
    EXPECT_TRUE(TakeWritten().empty());
    EXPECT_EQ(form.session().connected, 1);

    messages.answerYes = true;
    form.actions().tbResetAll->trigger();
    EXPECT_EQ(TakeSentLetters(), "BRRY");  // Disconnect's setup and reset, then Connect's handshake
    EXPECT_TRUE(Store().Empty());

    // Without a link and without frames it does nothing at all.
    form.DisconnectClick();
    TakeWritten();
    messages.boxes.clear();
    form.actions().tbResetAll->trigger();
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_TRUE(TakeWritten().empty());
    EXPECT_EQ(form.CurrentSerial(), nullptr);
}

TEST_F(MainFormLogTest, HundredIdenticalTestMessagesCountShowFourLinesAndAnEllipsis) {
    Receive100();
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[4], "...");
    form.OnSecondTimer();
    EXPECT_EQ(Counter("eReceived"), "100");

    ASSERT_EQ(Store().Size(), 100u);
    const CANBuffer& first = Store()[0];
    const CANBuffer& last = Store()[99];
    EXPECT_EQ(first.id, 0x12345678u);
    EXPECT_TRUE(first.extended);
    EXPECT_GE(first.dlc, 5);
    EXPECT_LE(first.dlc, 8);
    EXPECT_EQ(first.timestamp, 0u);
    EXPECT_EQ(std::tie(last.id, last.dlc, last.data), std::tie(first.id, first.dlc, first.data));
    EXPECT_EQ(last.sequence, 99u);
}

TEST_F(MainFormLogTest, HundredRandomMessagesHaveFifteenBitHalvesAndShortLengths) {
    form.actions().Receive100randommessages1->trigger();
    ASSERT_EQ(Store().Size(), 100u);
    for (const CANBuffer& record : Store()) {
        EXPECT_TRUE(record.extended);
        EXPECT_EQ(record.id & ~0x1FFF7FFFu, 0u) << std::hex << record.id;
        EXPECT_LT(record.dlc, 8);
        EXPECT_FALSE(record.FramesLost());
    }
}

TEST_F(MainFormLogTest, DebugTestNeedsAConnectionAndReportsLostFrames) {
    form.actions().DebugTest1->trigger();
    EXPECT_TRUE(Store().Empty());
    EXPECT_TRUE(LogLines().isEmpty());

    Connect();
    form.actions().DebugTest1->trigger();
    ASSERT_EQ(Store().Size(), 1u);
    const CANBuffer& record = Store()[0];
    EXPECT_EQ(record.id, 0x12345678u);
    EXPECT_TRUE(record.extended);
    EXPECT_TRUE(record.FramesLost());
    EXPECT_EQ(record.dlc, 8);
    EXPECT_EQ(record.data,
              (std::array<uint8_t, 8>{0x55, 0xAA, 0x19, 0x11, 0xB6, 0x99, 0x11, 0x01}));
}

TEST_F(MainFormLogTest, SaveMessageLogWritesTheChosenTypeAndReportsAnUnwritablePath) {
    Connect();
    form.actions().DebugTest1->trigger();
    EXPECT_EQ(SaveAs("frames.csv", "Comma Separated Variable (*.CSV)"),
              "12345678,000000000,1,0,8,55,AA,19,11,B6,99,11,01\r\n");
    ASSERT_EQ(messages.saveDialogs.size(), 1u);
    std::string types;
    for (const UserMessages::FileType& type : messages.saveDialogs[0].types)
        types += type.nameFilter + " ." + type.defaultSuffix + "\n";
    EXPECT_EQ(types,
              "Comma Separated Variable (*.CSV) .CSV\nText (*.txt) .CSV\ncandump log (*.log) .log\n"
              "Vector ASC (*.asc) .asc\nAll (*.*) .CSV\n");
    EXPECT_EQ(SaveAs("frames.log", "candump log (*.log)"),
              "(0.000000) can0 12345678#55AA1911B6991101\n");

    form.actions().tbSaveBuffer->trigger();  // the same answer again, from the tool button
    EXPECT_EQ(messages.saveDialogs.size(), 3u);
    messages.saveAnswer = {};  // cancelled: nothing is written
    const QStringList files = QDir(folder.path()).entryList(QDir::Files);
    form.actions().SaveMessageLog1->trigger();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), files);

    const std::string unwritable = folder.filePath("missing/frames.csv").toStdString();
    messages.saveAnswer = {unwritable, "Comma Separated Variable (*.CSV)"};
    form.actions().SaveMessageLog1->trigger();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Cannot write file\n" + unwritable);
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_FALSE(FileExists(unwritable));
}

}  // namespace
