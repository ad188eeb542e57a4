#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#ifdef BRANNOX_APPLICATION_TESTS
#include "app/brannox_application.h"
// The main window's tests run in the program's own application object, which they examine.
using TestApplication = BrannoxApplication;
#else
using TestApplication = QApplication;
#endif

// The main of widget test programs. Without a display (the test listing at build time, CI) the
// widgets run on the offscreen platform; nothing the tests do may touch the user's files.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
