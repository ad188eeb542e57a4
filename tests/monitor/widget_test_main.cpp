#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

// Widgets need an application object; nothing the tests do may touch the user's files. The
// test listing at build time runs without the test environment, hence the platform here.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
