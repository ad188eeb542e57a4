// The Setup Com Port dialog and the command behind it.
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

#include "app/config_comms.h"
#include "main_form_fixture.h"
#include "session/handle_can.h"
#include "support/modal_dialog_answer.h"

namespace {

class SerialSetupDialogTest : public MainFormTest {
  protected:
    TConfigComms& dialog() { return form.configComms(); }
    QList<QRadioButton*> Items(QGroupBox* group) { return group->findChildren<QRadioButton*>(); }
    // The text of the selected item of `group`, empty when none is selected.
    QString Selected(QGroupBox* group) {
        for (QRadioButton* item : Items(group))
            if (item->isChecked()) return item->text();
        return {};
    }
    void Choose(QGroupBox* group, const QString& text) {
        for (QRadioButton* item : Items(group))
            if (item->text() == text) item->click();
    }
    // Runs the dialog on `port` and `rate`; `look` sees it open before it closes.
    bool Edit(std::string& port, int32_t& rate, bool accept, std::function<void()> look = {}) {
        ModalDialogAnswer answer(dialog(), accept, std::move(look));
        const bool confirmed = dialog().EditPortSettings(port, rate);
        EXPECT_EQ(answer.Shown(), 1);
        return confirmed;
    }
};

TEST_F(SerialSetupDialogTest, OffersTheComItemsThenTheEnumeratedPortsAndSixRates) {
    ports = {"ttyUSB0", "pts/7"};
    std::string port = "com3";
    int32_t rate = 57600;
    QStringList items;
    ASSERT_TRUE(Edit(port, rate, true, [&] {
        EXPECT_EQ(dialog().windowTitle(), "Configure Serial Communications");
        EXPECT_EQ(dialog().size(), QSize(368, 376));  // not resizable
        EXPECT_EQ(dialog().minimumSize(), dialog().maximumSize());
        EXPECT_TRUE(dialog().HelpBtn->isHidden());
        for (QRadioButton* item : Items(dialog().Communications)) items << item->text();
        EXPECT_EQ(Selected(dialog().Communications), "COM3");
        EXPECT_EQ(Selected(dialog().SPRate), "&57600");
    }));
    ASSERT_EQ(items.size(), 35);
    EXPECT_EQ(items[0], "COM1");
    EXPECT_EQ(items[32], "COM33");
    EXPECT_EQ(items.mid(33), (QStringList{"ttyUSB0", "pts/7"}));
    EXPECT_EQ(port, "COM3");  // the item's own spelling
    EXPECT_EQ(rate, 57600);

    // A port that comes and goes with the enumeration is offered while it is there.
    ports.clear();
    ASSERT_TRUE(Edit(port, rate, true));
    EXPECT_EQ(Items(dialog().Communications).size(), 33);
}

TEST_F(SerialSetupDialogTest, RatesOutsideTheListOpenOnTheFirstItem) {
    for (const int32_t offered : {2400, 9600, 19200, 38400, 57600, 115200}) {
        std::string port = "COM1";
        int32_t rate = offered;
        ASSERT_TRUE(Edit(port, rate, true));
        EXPECT_EQ(rate, offered);
    }
    std::string port = "COM1";
    int32_t rate = 4800;
    ASSERT_TRUE(Edit(port, rate, true, [&] { EXPECT_EQ(Selected(dialog().SPRate), "&2400"); }));
    EXPECT_EQ(rate, 2400);
}

TEST_F(SerialSetupDialogTest, PortOutsideTheListOpensWithNoneSelectedAndOkWithoutAChoiceIsCom1) {
    std::string port = "COM40";
    int32_t rate = 9600;
    ASSERT_TRUE(Edit(port, rate, true, [&] { EXPECT_EQ(Selected(dialog().Communications), ""); }));
    EXPECT_EQ(port, "COM1");

    port = "COM40";
    ports = {"ttyACM0"};
    ASSERT_TRUE(Edit(port, rate, true, [&] { Choose(dialog().Communications, "ttyACM0"); }));
    EXPECT_EQ(port, "ttyACM0");

    port.clear();  // no port yet: COM1 is offered
    ASSERT_FALSE(
        Edit(port, rate, false, [&] { EXPECT_EQ(Selected(dialog().Communications), "COM1"); }));
    EXPECT_EQ(port, "");
}

TEST_F(SerialSetupDialogTest, CancelLeavesTheLinkAloneAndOkReopensIt) {
    Connect();
    const Serial* link = form.CurrentSerial();
    {
        ModalDialogAnswer answer(dialog(), false, [&] {
            Choose(dialog().Communications, "COM5");
            Choose(dialog().SPRate, "&9600");
        });
        form.actions().Exit1->trigger();
        EXPECT_EQ(answer.Shown(), 1);
    }
    EXPECT_EQ(form.CurrentSerial(), link);
    EXPECT_TRUE(form.session().connected);
    EXPECT_EQ(form.PortName(), "ttyFAKE");
    EXPECT_EQ(config.baudRate, 115200);
    EXPECT_TRUE(TakeWritten().empty());

    // OK closes the link and opens it again with the choices, here the same port.
    ports = {"ttyFAKE"};
    {
        ModalDialogAnswer answer(dialog(), true, [&] { Choose(dialog().SPRate, "&9600"); });
        form.actions().Exit1->trigger();
    }
    FinishConnecting();
    EXPECT_EQ(TakeSentLetters(), "BRRY");
    EXPECT_EQ(device.portName, "ttyFAKE");
    EXPECT_EQ(device.baudRate, 9600);
    EXPECT_EQ(config.baudRate, 9600);
}

}  // namespace

namespace {

TEST_F(SerialSetupDialogTest, KeepsItsDesignedSizeAndShowsTheSelectedPortWhole) {
    ports = {"ttyUSB0", "pts/7", "ttyACM0", "ttyS12"};
    for (const char* chosen : {"COM1", "COM33", "ttyS12"}) {
        std::string port = chosen;
        int32_t rate = 115200;
        Edit(port, rate, false, [&] {
            auto* scroller = dialog().Communications->findChild<QScrollArea*>();
            EXPECT_EQ(dialog().size(), QSize(368, 376));
            EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
            QRadioButton* selected = nullptr;
            for (QRadioButton* item : Items(dialog().Communications))
                if (item->isChecked()) selected = item;
            ASSERT_NE(selected, nullptr) << chosen;
            const QRect shown = scroller->viewport()->rect();
            const QRect item(selected->mapTo(scroller->viewport(), QPoint(0, 0)), selected->size());
            EXPECT_TRUE(shown.contains(item)) << chosen;
        });
    }
}

}  // namespace
