// Reset Log, Reset All, Save Message Log and the hidden test menu of the main window.
#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>

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
    EXPECT_TRUE(form.session().connected);

    messages.answerYes = true;
    form.actions().tbResetAll->trigger();
    FinishConnecting();
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
    EXPECT_EQ(messages.saveDialogs[0].nameFilters,
              (std::vector<std::string>{"Comma Separated Variable (*.CSV)", "Text (*.txt)",
                                        "candump log (*.log)", "Vector ASC (*.asc)",
                                        "Wireshark capture (*.pcapng)", "All (*.*)"}));
    // The first dialog starts in Documents with a name of the date and time.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QString::fromStdString(messages.saveDialogs[0].start);
    EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(documents) +
                                   "/ostrel-20\\d{6}-\\d{6}\\.csv$")
                    .match(suggested)
                    .hasMatch())
        << suggested.toStdString();
    EXPECT_EQ(form.statusBar()->currentMessage(), "Saved 1 frames to frames.csv");

    // The typed extension wins over the selected type.
    EXPECT_EQ(SaveAs("frames.log", "Comma Separated Variable (*.CSV)"),
              "(0.000000) can0 12345678#55AA1911B6991101\n");
    // The next dialog starts in the folder of the last save, also after a restart.
    EXPECT_EQ(QFileInfo(QString::fromStdString(messages.saveDialogs[1].start)).absolutePath(),
              QDir(folder.path()).absolutePath());

    // A bare name gets the type's extension; replacing that file is asked first.
    const std::string bare = folder.filePath("frames").toStdString();
    messages.saveAnswer = {bare, "candump log (*.log)"};
    messages.answerYes = false;
    form.actions().tbSaveBuffer->trigger();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "frames.log already exists.\nDo you want to replace it?");
    messages.saveAnswer = {bare, "Vector ASC (*.asc)"};
    form.actions().tbSaveBuffer->trigger();
    EXPECT_TRUE(FileExists(bare + ".asc"));
    EXPECT_FALSE(FileExists(bare));
    messages.boxes.clear();

    messages.saveAnswer = {};  // cancelled: nothing is written
    const QStringList files = QDir(folder.path()).entryList(QDir::Files);
    form.actions().SaveMessageLog1->trigger();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), files);

    const std::string unwritable = folder.filePath("missing/frames.csv").toStdString();
    messages.saveAnswer = {unwritable, "Comma Separated Variable (*.CSV)"};
    form.actions().SaveMessageLog1->trigger();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text,
              "Cannot write file\n" + unwritable + "\nNo such file or directory");
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_FALSE(FileExists(unwritable));
}

class OpenLogTest : public MainFormLogTest {
  protected:
    // Open Log of a file holding `contents`; the user answers the questions with `yes`.
    void Open(const std::string& contents, bool yes = true) {
        path = folder.filePath("opened.log").toStdString();
        WriteFileBytes(path, contents);
        messages.openAnswer = path;
        messages.answerYes = yes;
        form.actions().OpenLog1->trigger();
    }
    std::string path;
};

TEST_F(OpenLogTest, LoadsEveryFormatIntoTheStoreAndShowsItsFrames) {
    const char* logs[] = {
        "00000123,000000003,0,0,2,55,AA\r\n0CF00400,000000020,1,0,1,01\r\n",
        "(0.000001) can0 123#55AA\n(0.000010) can0 0CF00400#01\n",
        "date Thu Mar 14 02:05:09.123 pm 2024\r\nbase hex  timestamps absolute\r\n"
        "   0.000001 1  123             Rx   d 2 55 AA\r\n"
        "   0.000010 1  CF00400x        Rx   d 1 01\r\n",
    };
    for (const char* log : logs) {
        Open(log);
        ASSERT_EQ(Store().Size(), 2u) << log;
        EXPECT_EQ(Store()[1].id, 0x0CF00400u);
        EXPECT_TRUE(Store()[1].extended);
        EXPECT_EQ(Store()[0].data[1], 0xAA);
        EXPECT_EQ(Store()[1].timestamp, 20u);
        EXPECT_EQ(Counter("eReceived"), "2");
        EXPECT_EQ(form.statusBar()->currentMessage(), "Log opened.log");
    }
    EXPECT_EQ(messages.openDialogs.size(), 3u);
    // The second and third load asked before replacing the frames loaded before.
    ASSERT_EQ(messages.boxes.size(), 2u);
    EXPECT_EQ(messages.boxes[0].text,
              "Open opened.log?\nThe 2 frames in the log will be replaced.");

    // The store then saves as if received: a pcapng capture opens too.
    messages.boxes.clear();
    const std::string capture = folder.filePath("c.pcapng").toStdString();
    messages.saveAnswer = {capture, "All (*.*)"};
    form.actions().SaveMessageLog1->trigger();
    Open(ReadFileBytes(capture));
    EXPECT_EQ(Store().Size(), 2u);
    EXPECT_EQ(Store()[1].timestamp, 20u);
    form.actions().ShowFirst1000messages1->trigger();
    EXPECT_EQ(LogLines().size(), 2);
}

TEST_F(OpenLogTest, WhileConnectedAsksThenDisconnectsAndSendsNothingElse) {
    Connect();
    Open("(1.0) can0 123#\n", false);
    EXPECT_EQ(messages.boxes.back().text, "Open opened.log?\nThe device will be disconnected.");
    EXPECT_TRUE(form.session().connected);
    EXPECT_TRUE(Store().Empty());
    EXPECT_TRUE(TakeWritten().empty());

    Open("(1.0) can0 123#\n", true);
    EXPECT_FALSE(form.session().connected);
    EXPECT_EQ(Store().Size(), 1u);
    EXPECT_EQ(TakeSentLetters(), "BR");  // the Disconnect steps only
}

TEST_F(OpenLogTest, BadFilesChangeNothingAndSayWhere) {
    Receive100();
    const struct {
        std::string contents;
        std::string box;
    } bad[] = {
        {"", "The log file holds no frames\n"},
        {std::string("\x7F"
                     "ELF\x02\0\0\0",
                     8),
         "Cannot open log file\nPATH\nLine 1: not a CSV, candump, ASC or pcapng log"},
        {"(1.0) can0 123#\n(1.1) can0 123#1\n(1.2) can0 124#\n",
         "Cannot open log file\nPATH\nLine 2: bad data '1'"},
    };
    for (const auto& file : bad) {
        messages.boxes.clear();
        Open(file.contents);
        ASSERT_EQ(messages.boxes.size(), 1u);
        std::string expected = file.box;
        const size_t at = expected.find("PATH");
        if (at != std::string::npos)
            expected.replace(at, 4, path);
        else
            expected += path;
        EXPECT_EQ(messages.boxes[0].text, expected);
        EXPECT_EQ(Store().Size(), 100u);
    }
    // Declining the replacement keeps the frames too.
    messages.boxes.clear();
    Open("(1.0) can0 123#\n", false);
    EXPECT_EQ(Store().Size(), 100u);
}

TEST_F(OpenLogTest, ALongerFileLoadsItsFirstFiftyThousandFramesAndSaysSo) {
    std::string log;
    for (int i = 0; i < 60000; ++i)
        log += "(" + std::to_string(i / 1000) + ".000000) can0 " + (i % 2 ? "123" : "456") + "#\n";
    Open(log);
    EXPECT_EQ(Store().Size(), FrameStore::kLimit);
    EXPECT_EQ(Store()[FrameStore::kLimit - 1].id, 0x123u);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text,
              "The log file holds more than 50000 frames; the first 50000 were loaded.\n" + path);
}

}  // namespace
