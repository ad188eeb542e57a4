#include "app/message_box_user_messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

TEST(MessageBoxUserMessages, SaveDialogAddsTheExtensionOfTheTypeTheUserSelects) {
    QTemporaryDir folder;
    MessageBoxUserMessages messages;
    QString suffixAtStart;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        suffixAtStart = dialog->defaultSuffix();
        // The user steps from the first type to the second and then to the third.
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);
        QTest::keyClick(types, Qt::Key_Down);
        dialog->selectFile(folder.filePath("trace"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const UserMessages::SaveFileChoice choice =
        messages.AskSaveFileName("Save Message Log", {{"Comma Separated Variable (*.CSV)", "CSV"},
                                                      {"Text (*.txt)", "CSV"},
                                                      {"candump log (*.log)", "log"}});
    EXPECT_EQ(suffixAtStart, "CSV");
    EXPECT_EQ(choice.path, folder.filePath("trace.log").toStdString());
    EXPECT_EQ(choice.nameFilter, "candump log (*.log)");
}

TEST(MessageBoxUserMessages, CancelledSaveDialogGivesNoPath) {
    MessageBoxUserMessages messages;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(messages.AskSaveFileName("Save", {{"All (*.*)", "CSV"}}).path.empty());
}

}  // namespace
