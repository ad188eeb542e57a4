#include "app/brannox_application.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>

#include "support/recording_user_messages.h"

namespace {

TEST(BrannoxApplication, ExceptionEscapingAHandlerIsShownAndTheProgramGoesOn) {
    auto* app = qobject_cast<BrannoxApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    RecordingUserMessages messages;
    app->SetMessages(&messages);

    bool laterRan = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("Access violation"); });
    QTimer::singleShot(0, [] { throw 42; });
    QTimer::singleShot(0, [&] { laterRan = true; });
    QCoreApplication::processEvents();
    app->SetMessages(nullptr);

    ASSERT_EQ(messages.boxes.size(), 2u);
    EXPECT_EQ(messages.boxes[0].text, "Access violation");
    EXPECT_EQ(messages.boxes[0].caption, "Brannox");
    EXPECT_EQ(messages.boxes[1].text, "");
    EXPECT_TRUE(laterRan);
}

}  // namespace
