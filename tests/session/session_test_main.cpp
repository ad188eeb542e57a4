#include <gtest/gtest.h>

#include <QCoreApplication>

// The session's response timers need an application object and its event loop.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
