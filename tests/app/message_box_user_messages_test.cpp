#include "app/message_box_user_messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
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

TEST(MessageBoxUserMessages, CancelledFileDialogsGiveNoPath) {
    MessageBoxUserMessages messages;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(messages.AskSaveFileName("Save", {"All (*.*)"}, "/tmp/x.csv").path.empty());
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(messages.AskOpenFileName("Open", {"All (*.*)"}, "/tmp").empty());
}

}  // namespace
