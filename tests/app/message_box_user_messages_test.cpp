#include "app/message_box_user_messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
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

TEST(MessageBoxUserMessages, CancelledSaveDialogGivesNoPath) {
    MessageBoxUserMessages messages;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(messages.AskSaveFileName("Save", {{"All (*.*)", "CSV"}}).path.empty());
}

}  // namespace
