// The whole program logic, main window included, against ostrel-sim over a real
// pseudo-terminal: Auto Detect finds the simulator through the port enumeration.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_form.h"
#include "config/config_record.h"
#include "link/port_names.h"
#include "link/posix_serial_port_device.h"
#include "monitor/status_page.h"
#include "session/handle_can.h"
#include "sim/sim_process.h"
#include "support/recording_user_messages.h"
#include "views/frame_range_window.h"
#include "views/frame_store_model.h"
#include "views/identifier_page.h"
#include "views/identifier_stats.h"

namespace {

// Generous limits against a hang; nothing here measures speed.
constexpr int kTimeoutMs = 10000;

using Bytes = std::vector<uint8_t>;

class MainFormEndToEndTest : public ::testing::Test {
  protected:
    // The window's own enumeration lists the simulators of this registry folder.
    explicit MainFormEndToEndTest(const QStringList& simArguments) : sim(simArguments) {
        qputenv("OSTREL_SIM_REGISTRY", QByteArray::fromStdString(sim.RegistryFolder()));
    }
    ~MainFormEndToEndTest() override { qunsetenv("OSTREL_SIM_REGISTRY"); }

    QStringList LogLines() const {
        return form.findChild<QPlainTextEdit*>("FrameList")->toPlainText().split('\n');
    }
    std::vector<TracedPacket> FromPc(uint8_t letter) const {
        std::vector<TracedPacket> packets;
        for (const TracedPacket& packet : sim.Trace(TracedPacket::kFromPc))
            if (packet.letter == letter) packets.push_back(packet);
        return packets;
    }
    bool Connected() { return form.session().connected; }

    SimProcess sim;
    QTemporaryDir folder;
    ConfigRecord config;
    RecordingUserMessages messages;
    PosixSerialPortDevice comPort;
    TMainForm form{
        {comPort, messages, config, EnumComPorts, folder.filePath("BRANNOX.INI").toStdString()}};
};

class WithTraffic : public MainFormEndToEndTest {
  protected:
    WithTraffic() : MainFormEndToEndTest({"--rate", "50", "--ids", "123,18EF2000"}) {}
};

TEST_F(WithTraffic, StartUpFindsTheSimulatorShowsTrafficTransmitsAndDisconnects) {
    ASSERT_FALSE(sim.port().empty()) << "the simulator did not start";
    form.FormCreate();  // no port saved yet: Auto Detect
    form.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.ConnectionBusy(); }, kTimeoutMs));
    EXPECT_EQ(form.PortName(), sim.port());
    EXPECT_TRUE(LogLines().contains(QString::fromStdString(sim.port())));
    EXPECT_TRUE(messages.boxes.empty());

    ASSERT_TRUE(QTest::qWaitFor([&] { return Connected(); }, kTimeoutMs));
    EXPECT_TRUE(LogLines().contains(" ** Connected **"));
    auto* received = form.findChild<QLineEdit*>("eReceived");
    ASSERT_TRUE(QTest::qWaitFor([&] { return received->text().toInt() >= 20; }, kTimeoutMs));
    EXPECT_GE(form.session().frames().Size(), 20u);
    EXPECT_TRUE(LogLines().contains("..."));  // 50 frames a second are more than the log shows

    form.findChild<QLineEdit*>("eID")->setText("18EF2000");
    form.findChild<QCheckBox*>("cbExtendedID")->setChecked(true);
    form.findChild<QCheckBox*>("cbResponseFrame")->setChecked(false);
    form.findChild<QComboBox*>("cbDLC")->setCurrentIndex(2);
    form.findChild<QLineEdit*>("eData0")->setText("55");
    form.findChild<QLineEdit*>("eData1")->setText("1B");
    form.actions().tbTransmit->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !FromPc('G').empty(); }, kTimeoutMs));
    EXPECT_EQ(FromPc('G').front().payload, (Bytes{0x00, 0xC7, 0x6B, 0x20, 0x00, 0x02, 0x55, 0x1B}));
    // The device's acknowledgement arrives in time.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.session().PendingTimers() == 0; }, kTimeoutMs));
    EXPECT_TRUE(Connected());

    const size_t resetsBefore = FromPc('R').size();
    form.actions().Disconnect1->trigger();
    EXPECT_EQ(form.CurrentSerial(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return FromPc('R').size() > resetsBefore; }, kTimeoutMs));
    const std::vector<TracedPacket> sent = sim.Trace(TracedPacket::kFromPc);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2].letter, 'B');
    EXPECT_EQ(sent[sent.size() - 2].payload, (Bytes{0x90, 0xD0, 0x03, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(sent.back().letter, 'R');
    EXPECT_TRUE(messages.boxes.empty());
    form.hide();
}

class HangingUp : public MainFormEndToEndTest {
  protected:
    HangingUp() : MainFormEndToEndTest({"--rate", "50", "--hangup-after", "10"}) {}
};

TEST_F(HangingUp, LostPortClosesTheLinkAndSaysSo) {
    ASSERT_FALSE(sim.port().empty()) << "the simulator did not start";
    form.FormCreate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Connected(); }, kTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.CurrentSerial() == nullptr; }, kTimeoutMs));
    EXPECT_FALSE(Connected());
    EXPECT_EQ(LogLines().back().toStdString(), " ** Port " + sim.port() + " lost **");
    EXPECT_EQ(form.actions().tbConnect->toolTip(), "Connect");
    EXPECT_TRUE(messages.boxes.empty());
}

class SteadyTraffic : public MainFormEndToEndTest {
  protected:
    // 1000 standard frames a second of eight bytes: 135 bits each with worst-case stuffing.
    SteadyTraffic() : MainFormEndToEndTest({"--rate", "1000", "--ids", "123", "--dlc", "8"}) {}
};

TEST_F(SteadyTraffic, StatusBarShowsFramesPerSecondAndBusLoad) {
    ASSERT_FALSE(sim.port().empty()) << "the simulator did not start";
    form.FormCreate();
    form.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Connected(); }, kTimeoutMs));
    config.busRate = 500000;  // the rate the load is measured against, read at each tick
    QTest::qWait(2200);       // a whole second of traffic and a tick after it
    const QString text = form.findChild<QLabel*>("sBusLoad")->text();
    const QRegularExpressionMatch match =
        QRegularExpression(R"(^RX/TX (\d+)/0 (\d+\.\d)%$)").match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    const int perSecond = match.captured(1).toInt();
    EXPECT_NEAR(perSecond, 1000, 150);  // the generator's pace on a loaded machine
    EXPECT_EQ(match.captured(2), QString::number(perSecond * 135 * 100.0 / 500000, 'f', 1));
    form.hide();
}

TEST_F(WithTraffic, MessageRangeFollowsLiveFramesAndFramesByIdentifierCountsThem) {
    ASSERT_FALSE(sim.port().empty()) << "the simulator did not start";
    form.FormCreate();
    form.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Connected(); }, kTimeoutMs));
    form.actions().ShowMessageRange1->trigger();
    FrameRangeWindow& range = form.frameRangeWindow();
    ASSERT_TRUE(range.isVisible());
    range.cbFollow->setChecked(true);
    const QScrollBar& scroll = *range.table->verticalScrollBar();
    // Enough frames to scroll, the newest in sight.
    ASSERT_TRUE(QTest::qWaitFor([&] { return scroll.maximum() > 0; }, kTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return range.model().rowCount() >= 40 && scroll.value() == scroll.maximum(); },
        kTimeoutMs));
    EXPECT_LE(static_cast<size_t>(range.model().rowCount()), form.session().frames().Size());

    form.actions().FramesByIdentifier1->trigger();
    const std::vector<IdentifierRow>& rows = form.identifierPage().stats().Rows();
    ASSERT_EQ(rows.size(), 2u);  // 123 standard, 18EF2000 extended
    EXPECT_EQ(rows[0].count + rows[1].count, form.session().frames().Size());
    form.hide();
}

}  // namespace
