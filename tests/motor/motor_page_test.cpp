#include "motor/motor_page.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "frame_text.h"
#include "motor/radio_group.h"
#include "support/fake_session_commands.h"
#include "support/named_child.h"

namespace {

struct Sent {
    uint32_t id;
    bool ack;
    std::string data;
};

struct MotorPageTest : testing::Test {
    std::vector<Sent> sent;
    FakeSessionCommands session;
    MotorPage page{session};

    MotorPageTest() {
        session.transmitted = [this](const CANBuffer& record, bool ack) {
            EXPECT_TRUE(record.extended);
            sent.push_back({record.id, ack, DataText(record)});
        };
    }

    template <typename T>
    T* Control(const char* name) const {
        return NamedChild<T>(page, name);
    }

    std::vector<std::string> SentData() const {
        std::vector<std::string> data;
        for (const Sent& frame : sent) data.push_back(frame.data);
        return data;
    }
};

bool IsRed(const QLineEdit* edit) {
    return edit->palette().color(QPalette::Text) == Qt::red;
}

QStringList Items(const RadioGroup* group) {
    QStringList items;
    for (int i = 0; group->Item(i) != nullptr; ++i) items << group->Item(i)->text();
    return items;
}

}  // namespace

TEST_F(MotorPageTest, StartsWithTheInitialTextsAndSendsNothing) {
    EXPECT_EQ(Items(Control<RadioGroup>("rgcMotorState")),
              QStringList({"Forward", "Stop", "Reverse"}));
    EXPECT_EQ(Items(Control<RadioGroup>("rgcPowerHold")), QStringList({"Power Off", "Power On"}));
    for (const RadioGroup* group :
         {Control<RadioGroup>("rgcMotorState"), Control<RadioGroup>("rgcPowerHold"),
          Control<RadioGroup>("rgmMotorState")})
        EXPECT_EQ(group->ItemIndex(), 0);
    const std::pair<const QLineEdit*, const char*> texts[] = {
        {Control<QLineEdit>("eRPM"), "2500"},         {Control<QLineEdit>("eRPMPercent"), "50"},
        {Control<QLineEdit>("emRPM"), "2500"},        {Control<QLineEdit>("emRPMPercent"), "50"},
        {Control<QLineEdit>("emTemp"), "25.0"},       {Control<QLineEdit>("emPower"), "25.0"},
        {Control<QLineEdit>("emError"), "Motor OK"},  {Control<QLineEdit>("eDefaultRPM"), "2500"},
        {Control<QLineEdit>("eMinRPM"), "500"},       {Control<QLineEdit>("eMaxRPM"), "4000"},
        {Control<QLineEdit>("eTempShutdown"), "125"}, {Control<QLineEdit>("eCANTimeout"), "5"},
        {Control<QLineEdit>("eCANBase"), "20"}};
    for (const auto& [edit, text] : texts) EXPECT_EQ(edit->text(), text);
    QComboBox* rates = Control<QComboBox>("mcbCANRate");
    EXPECT_TRUE(rates->isEditable());
    EXPECT_EQ(rates->count(), 8);
    EXPECT_EQ(rates->itemText(1), "50000");
    EXPECT_EQ(rates->itemText(7), "1000000");
    EXPECT_EQ(rates->currentText(), "250000");
    EXPECT_EQ(Control<QLabel>("sError")->text(), "Error Here");
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Error Here");
    EXPECT_TRUE(sent.empty());
}

TEST_F(MotorPageTest, EveryControlChangeSendsTheControlMessage) {
    Control<RadioGroup>("rgcPowerHold")->Item(1)->click();
    Control<RadioGroup>("rgcMotorState")->Item(1)->click();
    Control<RadioGroup>("rgcMotorState")->Item(2)->click();
    Control<RadioGroup>("rgcMotorState")
        ->Item(2)
        ->click();  // already selected: no change, no message
    Control<QLineEdit>("eRPMPercent")->setText("100");
    Control<QLineEdit>("eRPMPercent")->clear();  // counts as 0 and passes
    Control<QLineEdit>("eRPM")->setText("6000");
    EXPECT_EQ(SentData(),
              (std::vector<std::string>{"F4 88 13 FF FF FF FF FF", "F5 88 13 FF FF FF FF FF",
                                        "F6 88 13 FF FF FF FF FF", "F6 FF FF C8 FF FF FF FF",
                                        "F6 FF FF 00 FF FF FF FF", "F6 E0 2E FF FF FF FF FF"}));
    for (const Sent& frame : sent) {
        EXPECT_EQ(frame.id, MotorControlId);
        EXPECT_TRUE(frame.ack);
    }
    EXPECT_EQ(Control<QLabel>("sError")->text(), "");
}

TEST_F(MotorPageTest, AnRpmOutOfRangeBlocksTheControlGroupUntilCorrected) {
    Control<QLineEdit>("eRPM")->setText("499");
    EXPECT_EQ(Control<QLabel>("sError")->text(), "Enter Value between 500 and 6000");
    EXPECT_TRUE(IsRed(Control<QLineEdit>("eRPM")));
    EXPECT_EQ(page.controlErrorMask(), 1u);
    Control<RadioGroup>("rgcMotorState")->Item(1)->click();
    Control<QLineEdit>("eRPMPercent")
        ->setText("40");  // in range, but the group still holds an error
    EXPECT_EQ(Control<QLabel>("sError")->text(), "Enter Value between 500 and 6000");
    EXPECT_TRUE(sent.empty());

    Control<QLineEdit>("eRPM")->setText("500");
    EXPECT_FALSE(IsRed(Control<QLineEdit>("eRPM")));
    EXPECT_EQ(Control<QLabel>("sError")->text(), "");
    EXPECT_EQ(SentData(), std::vector<std::string>{"F1 E8 03 FF FF FF FF FF"});
}

TEST_F(MotorPageTest, TypingIntoAnEmptiedRpmSendsOnlyTheFinalValue) {
    Control<QLineEdit>("eRPM")->clear();
    EXPECT_EQ(Control<QLabel>("sError")->text(), "Enter Value between 500 and 6000");
    QTest::keyClicks(Control<QLineEdit>("eRPM"), "3000");
    EXPECT_EQ(SentData(), std::vector<std::string>{"F0 70 17 FF FF FF FF FF"});
    EXPECT_EQ(page.controlErrorMask(), 0u);
    EXPECT_EQ(Control<QLabel>("sError")->text(), "");
}

TEST_F(MotorPageTest, SetConfigSendsRequestPagesRequestAndAnEmptiedTimeoutGoesAsFive) {
    Control<QLineEdit>("eCANTimeout")->clear();
    EXPECT_EQ(page.configErrorMask(), 0u);
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "");
    Control<QPushButton>("bSetConfig")->click();
    EXPECT_EQ(SentData(), (std::vector<std::string>{"80 52 45 51 31", "00 C4 09 F4 01 A0 0F",
                                                    "01 20 7D 00 05 FF FF", "02 90 D0 03 00 00 FF",
                                                    "80 52 45 51 31"}));
    const std::vector<bool> acks{false, true, true, true, false};
    for (size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i].ack, acks[i]) << i;
}

TEST_F(MotorPageTest, MinimumAboveMaximumStopsAfterTheFirstRequestAndEqualPasses) {
    Control<QLineEdit>("eMinRPM")->setText("4001");
    EXPECT_EQ(page.configErrorMask(), 0u);
    Control<QPushButton>("bSetConfig")->click();
    EXPECT_EQ(SentData(), std::vector<std::string>{"80 52 45 51 31"});
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Min RPM must be less than Max RPM");
    EXPECT_TRUE(IsRed(Control<QLineEdit>("eMinRPM")));
    EXPECT_TRUE(IsRed(Control<QLineEdit>("eMaxRPM")));

    Control<QLineEdit>("eMinRPM")->setText("4000");
    Control<QPushButton>("bSetConfig")->click();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[2].data, "00 C4 09 A0 0F A0 0F");
    EXPECT_EQ(sent[5].data, "80 52 45 51 31");
}

TEST_F(MotorPageTest, ConfigErrorsShareOneTextAndBlockSetConfig) {
    Control<QLineEdit>("eTempShutdown")->clear();
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Enter Value between 90 and 149");
    Control<QLineEdit>("eCANTimeout")->setText("256");
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Enter Value between 0 and 255");
    EXPECT_EQ(page.configErrorMask(), 32u | 64u);
    Control<QPushButton>("bSetConfig")->click();
    EXPECT_TRUE(sent.empty());
    Control<QPushButton>("bReadConfig")->click();  // the request itself checks nothing
    EXPECT_EQ(SentData(), std::vector<std::string>{"80 52 45 51 31"});
    EXPECT_FALSE(sent[0].ack);

    // Another edit back in range leaves the text of the error that remains.
    Control<QLineEdit>("eTempShutdown")->setText("90");
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Enter Value between 0 and 255");
    Control<QLineEdit>("eMaxRPM")->setText("6001");
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Enter Value between 500 and 6000");
    // A new base address re-checks the time-out, and only that.
    Control<QLineEdit>("eCANBase")->setText("7f");
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "Enter Value between 0 and 255");
    EXPECT_EQ(page.configErrorMask(), 16u | 64u);

    Control<QLineEdit>("eMaxRPM")->setText("6000");
    Control<QLineEdit>("eCANTimeout")->setText("255");
    EXPECT_EQ(Control<QLabel>("sError2")->text(), "");
    EXPECT_FALSE(IsRed(Control<QLineEdit>("eCANTimeout")));
}
