#include <gtest/gtest.h>

#include <QCoreApplication>

// The serial port and the session's timers need the one application object of the process.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
