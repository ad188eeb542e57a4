#include <gtest/gtest.h>

#include <QCoreApplication>

// The main of test programs whose code needs Qt's application object and its event loop but
// no widgets: timers, the serial port's notifications.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
