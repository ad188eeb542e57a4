#include <unistd.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include "config/ini_file.h"
#include "main_form_fixture.h"
#include "session/handle_can.h"
#include "transmit/can_message_dialog.h"

namespace {

// The bus rate a 'B' packet carries.
uint32_t BusRateOf(const SentPacket& packet) {
    return packet.payload[0] | packet.payload[1] << 8 | packet.payload[2] << 16 |
           static_cast<uint32_t>(packet.payload[3]) << 24;
}

class StatusTabTest : public MainFormTest {
  protected:
    // The rate of the one 'B' packet sent since the last call.
    uint32_t SentBusRate() {
        const std::vector<SentPacket> sent = TakeSentPackets();
        EXPECT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent.empty() ? 0 : sent[0].command, 'B');
        return sent.empty() ? 0 : BusRateOf(sent[0]);
    }
    // Types into the bus-rate box as a user does, after emptying it.
    void TypeBusRate(const char* text) {
        QLineEdit* edit = Control<QComboBox>("cbCANBusRate")->lineEdit();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        TakeWritten();
        QTest::keyClick(edit, Qt::Key_End);  // no change: sends nothing
        EXPECT_TRUE(TakeWritten().empty());
    }
    void ChooseDlc(int length) {
        auto* dlc = Control<QComboBox>("cbDLC");
        dlc->setCurrentIndex(length);
        emit dlc->activated(length);
    }
};

TEST_F(StatusTabTest, BusRateIsClampedWhenSentAndTheTypedTextStays) {
    Connect();
    auto* rate = Control<QComboBox>("cbCANBusRate");
    EXPECT_EQ(rate->currentText(), "250000");
    QStringList items;
    for (int i = 0; i < rate->count(); ++i) items.append(rate->itemText(i));
    EXPECT_EQ(items, (QStringList{"33333", "50000 ", "83333", "100000", "125000", "250000",
                                  "500000", "1000000"}));

    rate->setCurrentIndex(1);
    EXPECT_TRUE(TakeWritten().empty());  // choosing from code runs nothing
    emit rate->activated(1);
    EXPECT_EQ(SentBusRate(), 50000u);
    EXPECT_EQ(config.busRate, 50000);

    TypeBusRate("2000000");
    EXPECT_EQ(config.busRate, 1000000);
    EXPECT_EQ(rate->currentText(), "2000000");

    TypeBusRate("9999");
    EXPECT_EQ(config.busRate, 10000);
    // Too many digits clamp high rather than wrap; blanks around the digits are no part of it.
    TypeBusRate("4294967297");
    EXPECT_EQ(config.busRate, 1000000);
    TypeBusRate(" 500000");
    EXPECT_EQ(config.busRate, 500000);
    QLineEdit* edit = rate->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(SentBusRate(), 10000u);
}

TEST_F(StatusTabTest, OptionBoxesSendTheSetupAndUseFiltersAlsoTheSixFilters) {
    Connect();
    Control<QCheckBox>("cbLoopback")->click();
    EXPECT_EQ(config.loopback, 0);  // a first run has it on
    std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{0x90, 0xD0, 0x03, 0x00, 0, 0, 0}));

    Control<QCheckBox>("cbListenOnly")->click();
    Control<QCheckBox>("cbBrief")->click();
    sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].payload, (std::vector<uint8_t>{0x90, 0xD0, 0x03, 0x00, 0, 1, 1}));

    Control<QCheckBox>("cbUseFilters")->click();
    EXPECT_EQ(config.useFilters, 1);
    EXPECT_EQ(TakeSentLetters(), "BAAAAAA");
}

TEST_F(StatusTabTest, BriefModeGoesWithEverySetupOfTheRunUntilUnchecked) {
    Control<QCheckBox>("cbBrief")->click();  // while disconnected: nothing is sent
    Connect();
    form.DisconnectClick();
    Connect();
    Control<QCheckBox>("cbListenOnly")->click();
    std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload.back(), 1);

    Control<QCheckBox>("cbBrief")->click();
    sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload.back(), 0);
}

TEST_F(StatusTabTest, TransmitSendsTheBoxesAsTypedAndLogsATxLine) {
    Connect();
    ChooseDlc(2);
    Control<QLineEdit>("eID")->setText("123");
    Control<QCheckBox>("cbExtendedID")->setChecked(false);
    Control<QCheckBox>("cbResponseFrame")->setChecked(false);
    Control<QLineEdit>("eData0")->setText("1FF");
    Control<QLineEdit>("eData1")->setText("G1");
    form.actions().tbTransmit->trigger();

    const std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 'G');
    EXPECT_EQ(sent[0].payload,
              (std::vector<uint8_t>{0x00, 0x24, 0x60, 0x00, 0x00, 0x02, 0xFF, 0x00}));
    EXPECT_EQ(LogLines().back(), "    TX               S   0x00000123 2 FF 00 ");
    EXPECT_EQ(Control<QLineEdit>("eTransmitted")->text(), "1");
    EXPECT_EQ(form.session().PendingTimers(), 1u);

    // Without a connection the menu item sends nothing.
    form.DisconnectClick();
    TakeWritten();
    form.actions().TransmitFrame1->trigger();
    EXPECT_TRUE(TakeWritten().empty());
}

TEST_F(StatusTabTest, ExactlyAsManyDataBoxesShowAsTheLength) {
    auto shown = [this] {
        std::string boxes;
        for (int i = 0; i < 8; ++i)
            boxes +=
                Control<QLineEdit>(("eData" + std::to_string(i)).c_str())->isHidden() ? '-' : 'X';
        const bool labels =
            !Control<QLabel>("tDataBytes")->isHidden() && !Control<QLabel>("tHex")->isHidden();
        return boxes + (labels ? " labels" : "");
    };
    EXPECT_EQ(shown(), "XXXXXXXX labels");  // a first run's length is 8
    ChooseDlc(3);
    EXPECT_EQ(shown(), "XXX----- labels");
    ChooseDlc(0);
    EXPECT_EQ(shown(), "--------");
}

TEST_F(MainFormTest, StartUpShowsTheSettingsAndTheWindowHidesMotorPageAndTestMenu) {
    form.FormCreate();
    FinishConnecting();
    // No port configured: Auto Detect runs and finds nothing among no ports.
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Can't find Ostrel");
    EXPECT_TRUE(Control<QCheckBox>("cbLoopback")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("eID")->text(), "01234567");
    EXPECT_EQ(Control<QLineEdit>("eData7")->text(), "7");
    EXPECT_FALSE(form.actions().MenuTest1->menuAction()->isVisible());
    auto* tabs = Control<QTabWidget>("Tabs");
    EXPECT_EQ(tabs->currentWidget()->objectName(), "tabStatus");

    form.show();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Status");
    EXPECT_EQ(tabs->tabText(1), "Filters");
    EXPECT_EQ(tabs->tabText(2), "Transmit List");
    EXPECT_NE(Control<QWidget>("tabMotor"), nullptr);
    EXPECT_TRUE(Control<QLabel>("tMissedPackets")->isHidden());
    EXPECT_TRUE(form.actions().ToolBar1->isVisible());
    form.hide();
}

TEST_F(MainFormTest, WindowSizeFromTheFileIsClampedToTheScreenAndTheWindowStaysOnIt) {
    // Height and width of 2147483647, bytes 12 to 19 of the record.
    IniFile file(form.configPath());
    for (int offset = 12; offset < 20; ++offset)
        file.Write("Global", "B" + std::to_string(offset), offset % 4 == 3 ? "127" : "255");
    ASSERT_TRUE(file.Save());
    form.FormCreate();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(available.contains(form.geometry())) << form.width() << "x" << form.height();

    form.close();
    const IniFile saved(form.configPath());
    const auto savedValue = [&saved](int offset) {
        int32_t value = 0;
        for (int byte = 3; byte >= 0; --byte)
            value =
                value << 8 | saved.ReadInteger("Global", "B" + std::to_string(offset + byte), 0);
        return value;
    };
    EXPECT_EQ(savedValue(12), form.height());
    EXPECT_EQ(savedValue(16), form.width());
}

TEST_F(MainFormTest, ShownWindowKeepsItsDesignedWidthAndStaysCentred) {
    form.FormCreate();
    const QPoint centred = form.pos();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_LE(form.minimumSizeHint().width(), 642);
    EXPECT_EQ(form.width(), 642);
    EXPECT_EQ(form.pos(), centred);
    form.hide();
}

// Whether `widget` lies inside a widget of type T, or inside the one named `name`.
template <typename T>
bool Inside(const QWidget* widget, const char* name = nullptr) {
    for (const QWidget* outer = widget->parentWidget(); outer; outer = outer->parentWidget())
        if (qobject_cast<const T*>(outer) && (name == nullptr || outer->objectName() == name))
            return true;
    return false;
}

// What assistive technology reads as the name of `input`: the label it is labelled by where
// there is one (a combo box on Linux names itself by its text), else its own name.
std::string AccessibleLabel(QWidget* input) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(input);
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
        if (qobject_cast<QLabel*>(label->object()))
            return label->text(QAccessible::Name).toStdString();
    return accessible->text(QAccessible::Name).toStdString();
}

TEST_F(MainFormTest, EveryInputIsNamedForAssistiveTechnologyByItsOwnLabel) {
    // The dialogs and windows made when first opened count too.
    form.setFilter();
    form.configComms();
    form.identifierPage();
    form.frameRangeWindow();
    int inputs = 0;
    for (QWidget* input : form.findChildren<QWidget*>()) {
        const bool isInput = qobject_cast<QLineEdit*>(input) || qobject_cast<QComboBox*>(input) ||
                             qobject_cast<QPlainTextEdit*>(input) ||
                             qobject_cast<QAbstractItemView*>(input);
        // A combo box's edit and list, and a table's headers, are parts of them; the Transmit
        // List page and the CAN Message dialog have tests of their own.
        if (!isInput || Inside<QComboBox>(input) || qobject_cast<QHeaderView*>(input) ||
            Inside<QWidget>(input, "tabTransmitList") ||
            qobject_cast<TCANMessage*>(input->window()))
            continue;
        ++inputs;
        const std::string name = AccessibleLabel(input);
        const std::string control = input->objectName().toStdString();
        EXPECT_FALSE(QString::fromStdString(name).trimmed().isEmpty()) << control;
        if (const auto* group = qobject_cast<const QGroupBox*>(input->parentWidget())) {
            EXPECT_NE(name, group->title().toStdString()) << control;
        }
    }
    EXPECT_GE(inputs, 30);
    EXPECT_EQ(AccessibleLabel(Control<QWidget>("cbCANBusRate")), "CAN Bus Rate :");
    EXPECT_EQ(AccessibleLabel(Control<QWidget>("eID")), "ID : 0x");
    EXPECT_EQ(AccessibleLabel(Control<QWidget>("eData3")), "Data Byte 3");
    EXPECT_EQ(AccessibleLabel(Control<QWidget>("eReceived")), "Received : ");
}

TEST_F(StatusTabTest, ClosingSavesTheSettingsAndTheNextStartLoadsThem) {
    form.SetPortName("ttyFAKE");
    TypeBusRate("125000");
    Control<QCheckBox>("cbUseFilters")->click();
    Control<QLineEdit>("eID")->setText("1G");
    form.close();

    ConfigRecord nextConfig;
    TMainForm next({device, messages, nextConfig, [] { return std::vector<std::string>{}; },
                    form.configPath()});
    next.FormCreate();
    FinishConnecting(next);
    EXPECT_EQ(next.PortName(), "ttyFAKE");
    EXPECT_NE(next.CurrentSerial(), nullptr);  // the saved port is opened, not detected
    EXPECT_EQ(nextConfig.busRate, 125000);
    EXPECT_EQ(next.findChild<QComboBox*>("cbCANBusRate")->currentText(), "125000");
    EXPECT_TRUE(next.findChild<QCheckBox*>("cbUseFilters")->isChecked());
    EXPECT_EQ(next.findChild<QLineEdit*>("eID")->text(), "00000001");
    EXPECT_EQ(next.Controls().transmitList.TxLines().size(), 1u);
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(MainFormTest, SettingsThatCannotBeReadOrSavedAreToldInOneBoxEach) {
    // A save that fails: one box with the path and the reason, and the window still closes.
    {
        const std::string path = folder.filePath("plain/BRANNOX.INI").toStdString();
        QFile(folder.filePath("plain")).open(QIODevice::WriteOnly);  // a file, not a folder
        ConfigRecord unsavedConfig;
        TMainForm unsaved(
            {device, messages, unsavedConfig, [] { return std::vector<std::string>{}; }, path});
        unsaved.FormCreate();
        unsaved.show();
        FinishConnecting(unsaved);
        ASSERT_EQ(messages.boxes.size(), 1u);  // Auto Detect found nothing
        unsaved.close();
        ASSERT_EQ(messages.boxes.size(), 2u);
        EXPECT_EQ(messages.boxes[1].caption, "Error");
        EXPECT_EQ(messages.boxes[1].text.rfind("Settings could not be saved\n" + path + "\n", 0),
                  0u)
            << messages.boxes[1].text;
        EXPECT_FALSE(unsaved.isVisible());
    }
    // A file that cannot be read: said at the start, never written over, nothing more at close.
    messages.boxes.clear();
    const std::string link = folder.filePath("device/BRANNOX.INI").toStdString();
    QDir(folder.path()).mkdir("device");
    ASSERT_EQ(::symlink("/dev/null", link.c_str()), 0);
    ConfigRecord unreadConfig;
    TMainForm unread(
        {device, messages, unreadConfig, [] { return std::vector<std::string>{}; }, link});
    unread.FormCreate();
    FinishConnecting(unread);
    ASSERT_EQ(messages.boxes.size(), 2u);
    EXPECT_EQ(messages.boxes[0].text,
              "Settings could not be read\n" + link +
                  "\nNot a regular file\n\nThe program starts with the default settings and "
                  "will not save over this file.");
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_EQ(unreadConfig.busRate, 250000);
    unread.close();
    EXPECT_EQ(messages.boxes.size(), 2u);
    EXPECT_EQ(QFileInfo(QString::fromStdString(link)).symLinkTarget(), "/dev/null");
}

TEST_F(MainFormTest, DynamicDisplayBoxAndMenuItemAgreeAfterEveryChange) {
    auto* box = Control<QCheckBox>("cbDynamicDisplay");
    QAction* item = form.actions().DisplayDynamically1;
    item->trigger();
    EXPECT_EQ(config.dynamicDisplay, 0);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(Control<QCheckBox>("cbShowRx")->isEnabled());

    box->click();
    EXPECT_EQ(config.dynamicDisplay, 1);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(Control<QCheckBox>("cbShowTx")->isEnabled());

    form.actions().tbList1000->trigger();
    EXPECT_EQ(config.dynamicDisplay, 0);
    EXPECT_FALSE(item->isChecked());
    form.actions().tbClearList->trigger();
    EXPECT_EQ(config.dynamicDisplay, 1);
    EXPECT_TRUE(item->isChecked());
}

TEST_F(MainFormTest, FullStoreIsReported) {
    form.ShowFrame(nullptr);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "CAN Buffer limit reached 50000");
    EXPECT_EQ(messages.boxes[0].caption, "Information");
}

TEST_F(MainFormTest, DisplayMonitorButtonTogglesTheDeviceDisplay) {
    Connect();
    form.actions().tbDisplayMonitor->trigger();
    EXPECT_EQ(config.lcdOn, 1);
    EXPECT_TRUE(form.actions().tbDisplayMonitor->isChecked());
    std::vector<SentPacket> sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 'C');
    EXPECT_EQ(sent[0].payload, std::vector<uint8_t>{0x01});
    form.actions().tbDisplayMonitor->trigger();
    EXPECT_FALSE(form.actions().tbDisplayMonitor->isChecked());
    EXPECT_EQ(TakeSentPackets().at(0).payload, std::vector<uint8_t>{0x00});

    // An assistive tool's Toggle changes the button's state without a click.
    QWidget* button = form.actions().ToolBar1->widgetForAction(form.actions().tbDisplayMonitor);
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(config.lcdOn, 1);
    sent = TakeSentPackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 'C');
    EXPECT_EQ(sent[0].payload, std::vector<uint8_t>{0x01});
    form.UpdateControls();  // the state shown again from code sends nothing
    EXPECT_TRUE(TakeSentPackets().empty());
}

}  // namespace
