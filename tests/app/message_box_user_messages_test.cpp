#include "app/message_box_user_messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

TEST(MessageBoxUserMessages, SaveDialogStartsAtTheSuggestedNameAndGivesTheNameAsTyped) {
    QTemporaryDir folder;
    MessageBoxUserMessages messages;
    QString suggested;
    QString startFolder;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startFolder = dialog->directory().absolutePath();
        suggested = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        // The user steps from the first type to the third and types a bare name.
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);
        QTest::keyClick(types, Qt::Key_Down);
        dialog->selectFile(folder.filePath("trace"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::vector<std::string> types = {"Comma Separated Variable (*.CSV)", "Text (*.txt)",
                                            "candump log (*.log)"};
    const UserMessages::SaveFileChoice choice = messages.AskSaveFileName(
        "Save Message Log", types, folder.filePath("ostrel-20260102-030405.csv").toStdString());
    EXPECT_EQ(startFolder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(suggested, "ostrel-20260102-030405.csv");
    EXPECT_EQ(choice.path, folder.filePath("trace").toStdString());
    EXPECT_EQ(choice.nameFilter, "candump log (*.log)");
}

// The box open at the moment, once the command has shown it.
QMessageBox* OpenBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

TEST(MessageBoxUserMessages, CaptionsGiveTheirStandardIconsAndQuestionsDefaultToNo) {
    MessageBoxUserMessages messages;
    const struct {
        const char* caption;
        QMessageBox::Icon icon;
    } cases[] = {{"Error", QMessageBox::Critical},
                 {"Information", QMessageBox::Information},
                 {"Brannox", QMessageBox::NoIcon}};
    for (const auto& c : cases) {
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            ASSERT_NE(OpenBox(), nullptr);
            shown = OpenBox()->icon();
            OpenBox()->accept();
        });
        messages.ShowMessage("text", c.caption);
        EXPECT_EQ(shown, c.icon) << c.caption;
    }

    // Enter answers the question with its default button.
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(OpenBox(), nullptr);
        icon = OpenBox()->icon();
        QTest::keyClick(OpenBox(), Qt::Key_Return);
    });
    EXPECT_FALSE(messages.AskYesNo("Reset CAN Message Log ?", "Confirm"));
    EXPECT_EQ(icon, QMessageBox::Question);
}

TEST(MessageBoxUserMessages, CancelledFileDialogsGiveNoPath) {
    MessageBoxUserMessages messages;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(messages.AskSaveFileName("Save", {"All (*.*)"}, "/tmp/x.csv").path.empty());
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(messages.AskOpenFileName("Open", {"All (*.*)"}, "/tmp").empty());
}

}  // namespace
