#include "transmit/can_message_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include "support/modal_dialog_answer.h"

namespace {

const std::string kDefaultConfigLine =
    "18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; Turn on, Default Direction, 2000RPM";

struct CanMessageDialogTest : testing::Test {
    TCANMessage dialog;

    // Opens the dialog on a line, lets `work` act on it, and returns what OK forms.
    std::string EditAndConfirm(const std::optional<std::string>& line,
                               const std::function<void()>& work = {}) {
        ModalDialogAnswer answer(dialog, true, work);
        return dialog.EditTxLine(line);
    }

    std::vector<QString> ShownBytes() const {
        std::vector<QString> bytes;
        for (QLineEdit* box : dialog.dataEdits)
            if (!box->isHidden()) bytes.push_back(box->text());
        return bytes;
    }
};

}  // namespace

TEST_F(CanMessageDialogTest, AddThenOkAndAnUnchangedLineRoundTrip) {
    EXPECT_FALSE(dialog.NoteTouched());
    EXPECT_EQ(EditAndConfirm(std::nullopt), "0,1,0,8,0,0,0,0,0,0,0,0; ");
    EXPECT_TRUE(dialog.NoteTouched());
    EXPECT_EQ(EditAndConfirm(kDefaultConfigLine), kDefaultConfigLine);
    ModalDialogAnswer cancel(dialog, false);
    EXPECT_EQ(dialog.EditTxLine(kDefaultConfigLine), "");
}

TEST_F(CanMessageDialogTest, TheReusedDialogKeepsBytesBeyondTheDlc) {
    EditAndConfirm("1,1,0,8,11,22,33,44,55,66,77,88");
    const std::string line = EditAndConfirm("2,0,1,2,AA,BB", [this] {
        EXPECT_EQ(ShownBytes(), (std::vector<QString>{"AA", "BB"}));
        EXPECT_EQ(dialog.dataEdits[2]->text(), "33");
        // The user raises the DLC: the old bytes appear and join eBigData.
        dialog.cbDLC->setCurrentIndex(3);
        emit dialog.cbDLC->activated(3);
        EXPECT_EQ(ShownBytes(), (std::vector<QString>{"AA", "BB", "33"}));
        EXPECT_EQ(dialog.eBigData->text(), "AABB33");
    });
    EXPECT_EQ(line, "2,0,1,3,AA,BB,33; ");
}

TEST_F(CanMessageDialogTest, TypedHexIsNormalisedWithTheCaretKept) {
    const std::string line = EditAndConfirm("1234,1,0,2,11,22", [this] {
        dialog.eID->setCursorPosition(2);
        QTest::keyClicks(dialog.eID, "x");
        EXPECT_EQ(dialog.eID->text(), "12034");
        EXPECT_EQ(dialog.eID->cursorPosition(), 3);
        dialog.eID->setCursorPosition(1);
        QTest::keyClicks(dialog.eID, "f");
        EXPECT_EQ(dialog.eID->text(), "1F2034");
        EXPECT_EQ(dialog.eID->cursorPosition(), 2);
        dialog.eID->end(false);
        QTest::keyClicks(dialog.eID, "abcd");  // the ninth character is cut
        EXPECT_EQ(dialog.eID->text(), "1F2034AB");
        EXPECT_EQ(dialog.eID->cursorPosition(), 8);

        dialog.dataEdits[1]->clear();
        QTest::keyClicks(dialog.dataEdits[1], "a");
        EXPECT_EQ(dialog.dataEdits[1]->text(), "A");
        EXPECT_EQ(dialog.eBigData->text(), "110A");
    });
    EXPECT_EQ(line, "1F2034AB,1,0,2,11,A; ");
}

TEST_F(CanMessageDialogTest, BigDataFillsTheShownBoxesAndStaysAsTyped) {
    const std::string line = EditAndConfirm("7,0,0,2,00,00", [this] {
        dialog.eBigData->clear();
        QTest::keyClicks(dialog.eBigData, "123456");
        EXPECT_EQ(ShownBytes(), (std::vector<QString>{"34", "56"}));
        EXPECT_EQ(dialog.eBigData->text(), "123456");
        dialog.eBigData->setText("5");
        EXPECT_EQ(ShownBytes(), (std::vector<QString>{"00", "05"}));
        dialog.eBigData->clear();
        EXPECT_EQ(ShownBytes(), (std::vector<QString>{"00", "00"}));
        EXPECT_EQ(dialog.eBigData->text(), "");
    });
    EXPECT_EQ(line, "7,0,0,2,00,00; ");
}

TEST_F(CanMessageDialogTest, DlcZeroHidesTheDataRowAndANoteAfterItLoadsEmpty) {
    const std::string line = EditAndConfirm("123,1,0,0; note", [this] {
        EXPECT_TRUE(ShownBytes().empty());
        EXPECT_TRUE(dialog.tData1->isHidden());
        EXPECT_TRUE(dialog.tData2->isHidden());
        EXPECT_TRUE(dialog.eBigData->isHidden());
        EXPECT_EQ(dialog.eNote->toPlainText(), "");
        QTest::keyClicks(dialog.eNote, "two");
        QTest::keyClick(dialog.eNote, Qt::Key_Return);
        QTest::keyClicks(dialog.eNote, "lines");
    });
    EXPECT_EQ(line, "123,1,0,0; two lines");
}

TEST_F(CanMessageDialogTest, TabInTheNoteMovesOnInsteadOfTyping) {
    const std::string line = EditAndConfirm("5,0,0,0", [this] {
        dialog.eNote->setPlainText("n");
        dialog.eNote->setFocus();
        QTest::keyClick(dialog.eNote, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), dialog.eNote);
    });
    EXPECT_EQ(line, "5,0,0,0; n");
}

TEST(CanMessageDialogPlacement, CentredOnTheScreenNotOnTheMainWindow) {
    QWidget mainWindow;
    mainWindow.setGeometry(0, 0, 200, 150);
    mainWindow.show();
    TCANMessage dialog(&mainWindow);
    QPoint centre;
    ModalDialogAnswer answer(dialog, false, [&] { centre = dialog.frameGeometry().center(); });
    dialog.EditTxLine(std::nullopt);
    const QPoint screenCentre = mainWindow.screen()->geometry().center();
    EXPECT_LE((centre - screenCentre).manhattanLength(), 10) << centre.x() << "," << centre.y();
}

TEST_F(CanMessageDialogTest, EveryInputIsNamedAfterItsLabel) {
    const std::vector<std::pair<QWidget*, QString>> named = {
        {dialog.eID, "ID : 0x"},
        {dialog.cbDLC, "DLC :"},
        {dialog.dataEdits[0], "Data : 0x byte 1"},
        {dialog.dataEdits[7], "Data : 0x byte 8"},
        {dialog.eBigData, "Data : 0x"},
        {dialog.eNote, "Note :"},
    };
    for (const auto& [input, name] : named) EXPECT_EQ(input->accessibleName(), name);
}
