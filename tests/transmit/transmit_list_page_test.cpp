#include "transmit/transmit_list_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include "session/can_buffer.h"
#include "support/fake_session_commands.h"
#include "support/modal_dialog_answer.h"
#include "support/named_child.h"
#include "transmit/can_message_dialog.h"

namespace {

struct TransmitListPageTest : testing::Test {
    TCANMessage canMessage;
    std::vector<std::pair<uint32_t, bool>> sent;  // identifier and acknowledgement flag
    bool stopShown = false;
    FakeSessionCommands session;
    TransmitListPage page{canMessage, session};

    TransmitListPageTest() {
        session.transmitted = [this](const CANBuffer& r, bool ack) {
            sent.emplace_back(r.id, ack);
        };
        QObject::connect(&page, &TransmitListPage::transmittingChanged,
                         [this](bool running) { stopShown = running; });
    }

    QPlainTextEdit* List() const { return NamedChild<QPlainTextEdit>(page, "eTxList"); }
    QComboBox* Gap() const { return NamedChild<QComboBox>(page, "cbGap"); }

    QString Text() const { return List()->toPlainText(); }

    // Puts the caret at the start of a line.
    void CaretOnLine(int line) {
        QTextCursor caret(List()->document()->findBlockByNumber(line));
        List()->setTextCursor(caret);
    }
};

}  // namespace

TEST_F(TransmitListPageTest, AddAppendsALineAndAFinalEmptyLineIsNoLine) {
    EXPECT_EQ(page.TxLineCount(), 0);
    List()->setPlainText("a\n\n");
    EXPECT_EQ(page.TxLineCount(), 2);
    EXPECT_EQ(page.TxLine(2), "");
    {
        ModalDialogAnswer ok(canMessage, true);
        page.bTransmitAddClick();
    }
    EXPECT_EQ(Text(), "a\n\n0,1,0,8,0,0,0,0,0,0,0,0; ");
    page.AppendTxLine("b");
    EXPECT_EQ(Text(), "a\n\n0,1,0,8,0,0,0,0,0,0,0,0; \nb");
    ModalDialogAnswer cancel(canMessage, false);
    page.bTransmitAddClick();
    EXPECT_EQ(cancel.Shown(), 1);
    EXPECT_EQ(page.TxLineCount(), 4);
}

TEST_F(TransmitListPageTest, EditLineReplacesTheCaretsLineOnOkOnly) {
    {
        ModalDialogAnswer never(canMessage, true);
        page.bEditClick();  // an empty list: nothing to edit
        page.bDeleteClick();
        EXPECT_EQ(never.Shown(), 0);
    }
    List()->setPlainText("1,0,0,0\n2,0,0,0\n3,0,0,0");
    CaretOnLine(1);
    {
        ModalDialogAnswer cancel(canMessage, false);
        page.bEditClick();
        EXPECT_EQ(cancel.Shown(), 1);
    }
    EXPECT_EQ(page.TxLine(1), "2,0,0,0");
    {
        ModalDialogAnswer ok(canMessage, true, [this] { canMessage.eID->setText("22"); });
        page.bEditClick();
    }
    EXPECT_EQ(Text(), "1,0,0,0\n22,0,0,0; \n3,0,0,0");
}

TEST_F(TransmitListPageTest, EditOnTheEmptyLineAfterTheLastWritesANewLastLine) {
    List()->setPlainText("1,0,0,0\n");
    List()->moveCursor(QTextCursor::End);
    ModalDialogAnswer ok(canMessage, true, [this] {
        EXPECT_EQ(canMessage.eID->text(), "00000000");  // an empty text was loaded
    });
    page.bEditClick();
    EXPECT_EQ(page.TxLineCount(), 2);
    EXPECT_EQ(page.TxLine(1), "00000000,1,0,8,00,00,00,00,00,00,00,00; ");
}

TEST_F(TransmitListPageTest, DeleteLineRemovesTheCaretsLine) {
    List()->setPlainText("1\n2\n3");
    CaretOnLine(1);
    page.bDeleteClick();
    EXPECT_EQ(Text(), "1\n3");
    CaretOnLine(1);
    page.bDeleteClick();
    EXPECT_EQ(Text(), "1");
    page.bDeleteClick();
    EXPECT_EQ(Text(), "");
    List()->setPlainText("1\n");
    List()->moveCursor(QTextCursor::End);
    page.bDeleteClick();  // the empty line after the last is no line
    EXPECT_EQ(Text(), "1\n");
}

TEST_F(TransmitListPageTest, TransmitLineSendsTheCaretsFrameWithAcknowledgement) {
    List()->setPlainText("; comment\n5,0,0,0");
    CaretOnLine(0);
    page.bTransmitLineClick();
    EXPECT_TRUE(sent.empty());
    CaretOnLine(1);
    page.bTransmitLineClick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::make_pair(0x5u, true));
    EXPECT_FALSE(page.Runner().Running());
}

TEST_F(TransmitListPageTest, TransmitAllReadsTheGapBoxAndStopHidesTheButton) {
    List()->setPlainText("1,0,0,0\n2,0,0,0");
    EXPECT_EQ(Gap()->currentText(), "1");
    Gap()->setCurrentIndex(4);
    EXPECT_EQ(page.GapIndex(), 4);
    Gap()->setCurrentText("250");
    EXPECT_EQ(page.GapIndex(), -1);  // a typed gap is no item
    page.bTransmitAllClick();
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(page.Runner().Timer().interval(), 250);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::make_pair(0x1u, false));

    Gap()->setCurrentText("abc");
    page.bTransmitAllClick();
    EXPECT_EQ(page.Runner().Timer().interval(), 1);
    page.bStopTxClick();
    EXPECT_FALSE(stopShown);
    EXPECT_FALSE(page.Runner().Running());

    // Loop Msgs is the box the runner looks at when it reaches the end.
    NamedChild<QCheckBox>(page, "cbLoopMsgs")->setChecked(true);
    page.bTransmitAllClick();
    sent.clear();
    page.Runner().TxTimerTick();
    page.Runner().TxTimerTick();
    EXPECT_EQ(sent.back(), std::make_pair(0x1u, false));
    page.bStopTxClick();
}

TEST_F(TransmitListPageTest, ATypedGapRunsAsTypedWithoutCompletion) {
    List()->setPlainText("1,0,0,0");
    // Completion happens only in a box that has the focus.
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    for (const char* typed : {"5", "2", "200"}) {
        Gap()->setFocus();
        Gap()->lineEdit()->clear();
        QTest::keyClicks(Gap(), typed);
        page.bTransmitAllClick();
        EXPECT_EQ(page.Runner().Timer().interval(), std::stoi(typed)) << typed;
    }
    page.bStopTxClick();
}

TEST_F(TransmitListPageTest, InputsAreNamedAfterTheirLabels) {
    EXPECT_EQ(Gap()->accessibleName(), "Gap (mS)");
    EXPECT_EQ(List()->accessibleName(), "Transmit List");
}

TEST_F(TransmitListPageTest, ContextMenuOffersTheCommandsAndTheClipboard) {
    QStringList texts;
    for (QAction* action : NamedChild<QMenu>(page, "mTransmitList")->actions())
        texts << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(texts, (QStringList{"&Add Line", "&Delete Line", "-", "&Transmit Line",
                                  "&Transmit All Lines", "-", "&Cut", "Co&py", "Pa&ste"}));

    List()->setPlainText("1,0,0,0\n2,0,0,0");
    QTextCursor second(List()->document()->findBlockByNumber(1));
    second.select(QTextCursor::BlockUnderCursor);
    List()->setTextCursor(second);
    page.Cut1Click();
    EXPECT_EQ(Text(), "1,0,0,0");
    List()->moveCursor(QTextCursor::End);
    page.Paste1Click();
    page.Paste1Click();
    EXPECT_EQ(Text(), "1,0,0,0\n2,0,0,0\n2,0,0,0");
    List()->selectAll();
    page.Copy1Click();
    EXPECT_EQ(QApplication::clipboard()->text(), Text());
}
