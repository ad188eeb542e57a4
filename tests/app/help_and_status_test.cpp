// The Help menu and the status bar of the main window.
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>

#include "app/connection_status_bar.h"
#include "main_form_fixture.h"

namespace {

// A desktop whose viewer for every type is "viewer"; it starts nothing, it records.
class RecordingViewers : public ViewerRegistry {
  public:
    bool FileExists(const std::string&) const override { return documentExists; }
    std::optional<std::string> FileTypeOf(const std::string&) const override {
        return "application/pdf";
    }
    std::optional<std::string> OpenCommandOf(const std::string&) const override {
        return "viewer \"%1\"";
    }
    int Start(const std::string& commandLine) override {
        started.push_back(commandLine);
        return kViewerStarted;
    }

    bool documentExists = true;
    std::vector<std::string> started;
};

TEST_F(MainFormTest, AboutShowsTheProductDateAndVersion) {
    form.actions().About1->trigger();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Quennel Ostrel\n\nMarch 2015\n1.0.0");
    EXPECT_EQ(messages.boxes[0].caption, "Information");
}

TEST_F(MainFormTest, ManualOpensBesideTheProgramWithTheViewerAndSaysNothingWithout) {
    MainFormServices services = Services();
    auto viewers = std::make_unique<RecordingViewers>();
    RecordingViewers& desktop = *viewers;
    services.viewers = std::move(viewers);
    TMainForm window(std::move(services));

    window.actions().Manual1->trigger();
    EXPECT_EQ(desktop.started,
              std::vector<std::string>{"viewer \"" + window.programFolder() + "Ostrel.pdf\""});

    desktop.started.clear();
    desktop.documentExists = false;
    window.actions().Manual1->trigger();
    EXPECT_TRUE(desktop.started.empty());
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(MainFormTest, StatusBarShowsLinkAndRatesAtTicksAndTheStoreWithTheReceivedCounter) {
    const auto bar = [this] {
        QStringList fields;
        for (const char* name : {"sConnection", "sPort", "sBusRate", "sFrames"})
            fields << Control<QLabel>(name)->text();
        return fields.join(" | ").toStdString();
    };
    form.UpdateControls();
    EXPECT_EQ(bar(), "Not connected | No port | CAN 250000 bit/s | Frames 0 / 50000");

    form.SetPortName("ttyFAKE");
    form.Connect1Click();
    FinishConnecting();
    EXPECT_EQ(bar(), "Connecting | ttyFAKE at 115200 | CAN 250000 bit/s | Frames 0 / 50000");
    Receive({0x55, 'Z', 0x00});
    EXPECT_EQ(bar(), "Connected | ttyFAKE at 115200 | CAN 250000 bit/s | Frames 0 / 50000");

    // The store's fill is written together with the Received counter: at once for the first
    // two frames of a second, the rest at the tick. A new bus rate shows at the tick.
    const auto received = [this] { return Control<QLineEdit>("eReceived")->text().toStdString(); };
    form.actions().Rx100IdenticalTestMessages1->trigger();
    config.busRate = 125000;
    EXPECT_EQ(received(), "2");
    EXPECT_EQ(bar(), "Connected | ttyFAKE at 115200 | CAN 250000 bit/s | Frames 2 / 50000");
    form.OnSecondTimer();
    EXPECT_EQ(received(), "100");
    EXPECT_EQ(bar(), "Connected | ttyFAKE at 115200 | CAN 125000 bit/s | Frames 100 / 50000");
    form.actions().Rx100IdenticalTestMessages1->trigger();
    EXPECT_EQ(received(), "102");
    EXPECT_EQ(bar(), "Connected | ttyFAKE at 115200 | CAN 125000 bit/s | Frames 102 / 50000");

    form.DisconnectClick();
    EXPECT_EQ(bar(), "Not connected | ttyFAKE at 115200 | CAN 125000 bit/s | Frames 102 / 50000");
}

// A passing message ("Saved 50000 frames to ...") needs the bar's room: the fields give way to
// it while it shows and come back after it.
TEST(ConnectionStatusBar, FieldsGiveWayToAPassingMessage) {
    QMainWindow window;
    ConnectionStatusBar fields(*window.statusBar());
    fields.Show(LinkStatus{
        LinkStatus::State::Connected, "/dev/serial/by-id/usb-Ostrel", 115200, 1000000, {}});
    window.resize(642, 200);
    window.show();
    auto* port = window.statusBar()->findChild<QLabel*>("sPort");
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->isVisible());
    window.statusBar()->showMessage("Saved 50000 frames to ostrel-20261208-101500.csv");
    EXPECT_FALSE(port->isVisible());
    window.statusBar()->clearMessage();
    EXPECT_TRUE(port->isVisible());
}

}  // namespace
