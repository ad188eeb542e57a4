#include <QAction>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "main_form_fixture.h"
#include "session/device_probe.h"
#include "session/handle_can.h"

namespace {

struct ConnectionControls {
    bool transmit, displayMonitor, connectItem, disconnectItem, transmitItem;
    std::string hint;
    bool operator==(const ConnectionControls&) const = default;
};

class MainFormConnectionTest : public MainFormTest {
  protected:
    ConnectionControls Controls() {
        const MainFormActions& a = form.actions();
        return {a.tbTransmit->isEnabled(),     a.tbDisplayMonitor->isEnabled(),
                a.Connect1->isVisible(),       a.Disconnect1->isVisible(),
                a.TransmitFrame1->isEnabled(), a.tbConnect->toolTip().toStdString()};
    }
};

TEST_F(MainFormConnectionTest, ConnectAndDisconnectDriveTheLinkAndTheControls) {
    form.SetPortName("ttyFAKE");
    form.Connect1Click();
    FinishConnecting();
    EXPECT_EQ(device.portName, "ttyFAKE");
    EXPECT_EQ(device.baudRate, 115200);
    EXPECT_EQ(device.inputSize, 1024);
    EXPECT_EQ(device.outputSize, 1024);
    EXPECT_EQ(device.dataBits, 8);
    EXPECT_EQ(device.stopBits, 1);
    EXPECT_EQ(device.flowControl, SerialPortDevice::FlowControl::None);
    EXPECT_EQ(TakeWritten(), (std::vector<uint8_t>{0x55, 'R', 0x55, 'Y', 0x00}));
    // Pending: the link is open, the device has not answered yet.
    EXPECT_EQ(Controls(), (ConnectionControls{false, false, true, false, false, "Disconnect"}));

    Receive({0x55, 'Z', 0x00});
    EXPECT_EQ(LogLines(), QStringList{" ** Connected **"});
    EXPECT_EQ(Controls(), (ConnectionControls{true, true, false, true, true, "Disconnect"}));

    TakeWritten();
    form.DisconnectClick();
    const std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].command, 'B');
    EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{0x90, 0xD0, 0x03, 0x00, 0, 0, 0}));
    EXPECT_EQ(sent[1].command, 'R');
    EXPECT_EQ(form.CurrentSerial(), nullptr);
    EXPECT_EQ(Controls(), (ConnectionControls{false, false, true, false, false, "Connect"}));

    // Without a link Disconnect does nothing.
    form.DisconnectClick();
    EXPECT_TRUE(TakeWritten().empty());
}

TEST_F(MainFormConnectionTest, PortThatDoesNotOpenIsReportedWithItsReasonAndLeavesNoLink) {
    device.failing = {"ttyGONE"};
    device.openErrorText = "port busy: another program has it open";
    form.SetPortName("ttyGONE");
    form.Connect1Click();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Cannot Open Com Port\nttyGONE");
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_EQ(LogLines(),
              QStringList{" ** Cannot open ttyGONE: port busy: another program has it open **"});
    EXPECT_EQ(form.CurrentSerial(), nullptr);
    EXPECT_EQ(Controls().hint, "Connect");
}

TEST_F(MainFormConnectionTest, SetupComPortOnAConnectedSessionRunsTheDisconnectStepsFirst) {
    Connect();
    device.failing = {"ttyGONE"};
    form.SetPortName("ttyGONE");
    form.SetupComPort(false);
    // The device got the disconnect's setup and reset, and the session is no longer
    // connected although no link could be opened.
    const std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].command, 'B');
    EXPECT_EQ(sent[1].command, 'R');
    EXPECT_FALSE(form.session().connected);
    EXPECT_EQ(form.session().PendingTimers(), 0u);
    EXPECT_FALSE(form.actions().TransmitFrame1->isEnabled());
}

TEST_F(MainFormConnectionTest, AutoDetectTriesEachPortAndConnectsToTheOneThatAnswers) {
    ports = {"ttyNONE", "ttySILENT", "ttyOSTREL"};
    device.failing = {"ttyNONE"};
    device.answering = {"ttyOSTREL"};
    form.AutoDetect1Click();
    FinishConnecting();
    EXPECT_EQ(LogLines(), (QStringList{"ttyNONE", "ttySILENT", "ttyOSTREL"}));
    EXPECT_EQ(form.PortName(), "ttyOSTREL");
    EXPECT_TRUE(messages.boxes.empty());
    ASSERT_NE(form.CurrentSerial(), nullptr);
    // The fresh link's handshake is answered through the event loop as usual.
    device.onRxChar(device.InputCount());
    EXPECT_TRUE(form.session().connected);
}

TEST_F(MainFormConnectionTest, StartUpAutoDetectWithoutAnAnswerOffersConnect) {
    ports = {"ttySILENT"};
    EXPECT_EQ(Controls().hint, "Disconnect");
    form.FormCreate();
    FinishConnecting();
    EXPECT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(Controls().hint, "Connect");
}

TEST_F(MainFormConnectionTest, AutoDetectWithoutAnAnswerSaysSoAndLeavesThePortName) {
    form.SetPortName("ttyOLD");
    ports = {"ttySILENT"};
    form.AutoDetect1Click();
    FinishConnecting();
    EXPECT_EQ(LogLines(), QStringList{"ttySILENT"});
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Can't find Ostrel");
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_EQ(form.PortName(), "ttyOLD");
    EXPECT_EQ(form.CurrentSerial(), nullptr);
}

TEST_F(MainFormConnectionTest, ConnectButtonWhileNotConnectedAlwaysEndsInAutoDetect) {
    form.SetPortName("ttyFAKE");
    form.tbConnectClick();
    FinishConnecting();
    // Connect opened ttyFAKE, Auto Detect closed it and found nothing.
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Can't find Ostrel");
    EXPECT_EQ(form.CurrentSerial(), nullptr);
}

TEST_F(MainFormConnectionTest, LostPortClosesTheLinkWithoutResetBytesAndConnectWorksAgain) {
    Connect();
    form.actions().TransmitFrame1->trigger();  // leaves an answer timer
    TakeWritten();

    device.onError(SerialPortDevice::ErrorKind::Other);
    EXPECT_NE(form.CurrentSerial(), nullptr);

    device.onError(SerialPortDevice::ErrorKind::ResourceLost);
    EXPECT_EQ(form.CurrentSerial(), nullptr);
    EXPECT_FALSE(device.open);
    EXPECT_TRUE(TakeWritten().empty());
    EXPECT_FALSE(form.session().connected);
    EXPECT_EQ(form.session().PendingTimers(), 0u);
    EXPECT_EQ(LogLines().back(), " ** Port ttyFAKE lost **");
    EXPECT_EQ(form.actions().tbConnect->toolTip(), "Connect");

    Connect();
    EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace

namespace {

// A timer due every 5 ms, and the most it was late.
class LatenessProbe {
  public:
    static constexpr int kPeriodMs = 5;
    LatenessProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            worstMs_ = std::max(worstMs_, now - last_ - kPeriodMs);
            last_ = now;
        });
        clock_.start();
        timer_.start(kPeriodMs);
    }
    qint64 WorstMs() const { return worstMs_; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worstMs_ = 0;
};

}  // namespace

TEST_F(MainFormConnectionTest, TheWindowKeepsRunningWhileACommandWaitsForTheDevice) {
    ports = {"ttyNONE", "ttySILENT", "ttyOSTREL"};
    device.failing = {"ttyNONE"};
    device.answering = {"ttyOSTREL"};
    form.SetPortName("ttyOSTREL");
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Connect", [&] { form.actions().Connect1->trigger(); }},
        {"Reset All", [&] { form.actions().tbResetAll->trigger(); }},
        {"Auto Detect", [&] { form.actions().AutoDetect1->trigger(); }},
    };
    for (const auto& [name, run] : commands) {
        LatenessProbe probe;
        run();
        EXPECT_TRUE(form.ConnectionBusy()) << name;
        FinishConnecting();
        EXPECT_LE(probe.WorstMs(), 20) << name;
        EXPECT_NE(form.CurrentSerial(), nullptr) << name;
    }
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(MainFormConnectionTest, CancelledCommandsCloseTheLinkWriteNothingMoreAndConnectWorks) {
    ports = {"ttySILENT", "ttyOSTREL"};
    device.answering = {"ttyOSTREL"};
    form.SetPortName("ttyOSTREL");
    const auto status = [this] { return form.statusBar()->currentMessage().toStdString(); };
    struct Case {
        const char* command;
        QAction* start;
        QAction* cancel;
        std::string shown;
    } cases[] = {
        {"Connect", form.actions().Connect1, form.actions().Disconnect1,
         "Connecting to ttyOSTREL\u2026"},
        {"Auto Detect", form.actions().AutoDetect1, form.actions().tbConnect,
         "Looking for the Ostrel: ttySILENT (1 of 2)\u2026"},
    };
    for (const Case& c : cases) {
        c.start->trigger();
        QTest::qWait(100);  // the device settles after its reset
        EXPECT_EQ(status(), c.shown) << c.command;
        EXPECT_TRUE(c.cancel->isVisible()) << c.command;
        EXPECT_EQ(TakeWritten(), (std::vector<uint8_t>{0x55, 'R'})) << c.command;

        c.cancel->trigger();
        EXPECT_FALSE(device.open) << c.command;
        EXPECT_EQ(form.CurrentSerial(), nullptr) << c.command;
        EXPECT_FALSE(form.ConnectionBusy()) << c.command;
        EXPECT_EQ(status(), "") << c.command;
        QTest::qWait(DeviceProbe::kResetSettleMs + DeviceProbe::kAnswerMs);
        EXPECT_TRUE(TakeWritten().empty()) << c.command;
        EXPECT_TRUE(messages.boxes.empty()) << c.command;
        EXPECT_FALSE(LogLines().contains("ttySILENT")) << c.command;  // no outcome to tell

        Connect();
        form.DisconnectClick();
        FinishConnecting();
        TakeWritten();
    }
}
