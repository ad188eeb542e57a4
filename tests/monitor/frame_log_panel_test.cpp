#include "monitor/frame_log_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "config/config_record.h"
#include "monitor/frame_line.h"
#include "session/frame_store.h"

namespace {

class FrameLogPanelTest : public ::testing::Test {
  protected:
    FrameLogPanelTest() { config.dynamicDisplay = 1; }

    template <typename T>
    T* Control(const char* name) {
        T* control = panel.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QStringList LogLines() {
        const QString text = Control<QPlainTextEdit>("FrameList")->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }
    QString Text(const char* name) { return Control<QLineEdit>(name)->text(); }

    static CANBuffer Frame(uint32_t id) {
        const uint8_t data[] = {0xAB};
        return CANBuffer(id, false, true, 1, data);
    }

    ConfigRecord config;
    FrameStore store;
    FrameLogPanel panel{config, store};
};

TEST_F(FrameLogPanelTest, SixFramesInASecondGiveFourLinesAndEllipsisAndCountersCatchUpAtTheTick) {
    for (uint32_t id = 1; id <= 6; ++id) panel.ShowFrame(Frame(id));
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0].toStdString(), FormatFrameLine(Frame(1), false));
    EXPECT_EQ(lines[3].toStdString(), FormatFrameLine(Frame(4), false));
    EXPECT_EQ(lines[4], "...");
    EXPECT_EQ(Text("eReceived"), "2");

    panel.ShowSentFrame(Frame(7));
    EXPECT_EQ(Text("eTransmitted"), "0");
    panel.OnSecondTimer();
    EXPECT_EQ(Text("eReceived"), "6");
    EXPECT_EQ(Text("eTransmitted"), "1");
}

TEST_F(FrameLogPanelTest, HiddenDirectionStillUsesUpTheLinesOfItsSecond) {
    Control<QCheckBox>("cbShowRx")->setChecked(false);
    for (uint32_t id = 1; id <= 4; ++id) panel.ShowFrame(Frame(id));
    EXPECT_TRUE(LogLines().isEmpty());
    panel.ShowSentFrame(Frame(5));
    EXPECT_EQ(LogLines(), QStringList{"..."});
}

TEST_F(FrameLogPanelTest, ListingShowsTheOldestThousandAndAnEmptyStoreChangesNothing) {
    panel.AddLine("kept");
    panel.ListFrames(0, 1000);
    EXPECT_EQ(LogLines(), QStringList{"kept"});

    for (uint32_t i = 0; i < 1500; ++i) {
        CANBuffer record = Frame(i);
        record.sequence = i;
        store.Append(record);
    }
    panel.ListFrames(0, 1000);
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 1000);
    EXPECT_TRUE(lines.front().startsWith("000000 "));
    EXPECT_TRUE(lines.back().startsWith("000999 "));
}

TEST_F(FrameLogPanelTest, DynamicDisplayOffAddsNoFrameLinesAndTheHintGoesWithTheNextChange) {
    auto* dynamicDisplay = Control<QCheckBox>("cbDynamicDisplay");
    dynamicDisplay->setChecked(false);
    EXPECT_EQ(config.dynamicDisplay, 0);
    for (uint32_t id = 1; id <= 6; ++id) panel.ShowFrame(Frame(id));
    EXPECT_TRUE(LogLines().isEmpty());

    // The hint is removed while it is the only line, and kept once other lines follow it.
    panel.AddLine(FrameLogPanel::kHintLine);
    dynamicDisplay->setChecked(true);
    EXPECT_TRUE(LogLines().isEmpty());
    panel.AddLine(FrameLogPanel::kHintLine);
    panel.AddLine("other");
    dynamicDisplay->setChecked(false);
    EXPECT_EQ(LogLines().size(), 2);

    // Clearing the list turns dynamic display back on.
    panel.tbClearListClick();
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_EQ(config.dynamicDisplay, 1);
}

TEST_F(FrameLogPanelTest, MissedPacketsBlinksInItsOwnPlaceAndTheLogFollowsTheEndAfterShrinking) {
    panel.resize(640, 400);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    auto* missed = Control<QLabel>("tMissedPackets");
    auto* row = Control<QCheckBox>("cbDynamicDisplay")->parentWidget();
    missed->show();
    const QSize withIndicator = row->minimumSizeHint();
    missed->hide();
    EXPECT_EQ(row->minimumSizeHint(), withIndicator);

    // At the end, the view stays there when the window shrinks and as lines come in.
    QScrollBar* bar = Control<QPlainTextEdit>("FrameList")->verticalScrollBar();
    for (int line = 0; line < 100; ++line) panel.AddLine("line");
    EXPECT_EQ(bar->value(), bar->maximum());
    panel.resize(640, 200);
    QApplication::processEvents();
    panel.AddLine("last");
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled back by the user, it stays where it was.
    bar->setValue(10);
    panel.resize(640, 150);
    QApplication::processEvents();
    panel.AddLine("later");
    EXPECT_EQ(bar->value(), 10);
}

}  // namespace
