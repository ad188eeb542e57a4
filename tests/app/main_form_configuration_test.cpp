// File > Save Configuration and Load Configuration in the real window over a fake port.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <cstring>

#include "config/config_file.h"
#include "config/fake_config_controls.h"
#include "filters/filters_page.h"
#include "main_form_fixture.h"
#include "support/file_bytes.h"

namespace {

class ConfigurationTest : public MainFormTest {
  protected:
    // What every page shows, in one text to compare.
    std::string Pages() {
        std::string shown;
        for (const char* name : {"eID", "eData0", "eData7"})
            shown += Control<QLineEdit>(name)->text().toStdString() + "|";
        for (const char* name :
             {"cbExtendedID", "cbResponseFrame", "cbUseFilters", "cbLoopback", "cbListenOnly"})
            shown += Control<QCheckBox>(name)->isChecked() ? "1|" : "0|";
        shown += Control<QComboBox>("cbDLC")->currentText().toStdString() + "|";
        shown += Control<QComboBox>("cbCANBusRate")->currentText().toStdString() + "|";
        QListWidget* filters = Control<QListWidget>("lFilter");
        for (int row = 0; row < filters->count(); ++row)
            shown += filters->item(row)->text().toStdString() + "|";
        shown += Control<QComboBox>("cbGap")->currentText().toStdString() + "|";
        return shown + Control<QPlainTextEdit>("eTxList")->toPlainText().toStdString();
    }

    // The user's changes on every page; the variant picks one of two sets of values.
    void ChangeEveryPage(int variant) {
        const bool first = variant == 0;
        Control<QLineEdit>("eID")->setText(first ? "1ABCDEF0" : "00000123");
        Control<QLineEdit>("eData0")->setText(first ? "A5" : "01");
        Control<QLineEdit>("eData7")->setText(first ? "5A" : "02");
        Control<QCheckBox>("cbExtendedID")->setChecked(first);
        Control<QCheckBox>("cbResponseFrame")->setChecked(first);
        Control<QCheckBox>("cbUseFilters")->setChecked(first);
        Control<QCheckBox>("cbLoopback")->setChecked(!first);
        Control<QCheckBox>("cbListenOnly")->setChecked(first);
        Control<QComboBox>("cbDLC")->setCurrentIndex(first ? 3 : 8);
        QLineEdit* rate = Control<QComboBox>("cbCANBusRate")->lineEdit();
        rate->clear();
        QTest::keyClicks(rate, first ? "125000" : "500000");
        config.filterCount = first ? 2 : 1;
        config.filters[0] = {first ? 0x18FEF100u : 0x100u, 0x1FFFFF00u, 1, {}};
        config.filters[1] = {0x7E0u, 0x7F0u, 0, {}};
        form.filtersPage().RedrawFilterList();
        Control<QComboBox>("cbGap")->setCurrentIndex(first ? 2 : 9);
        Control<QPlainTextEdit>("eTxList")->setPlainText(first ? "123,0,0,2,AA,BB; first\n7E0,0,0,0"
                                                               : "456,1,0,0");
    }

    std::string PathOf(const char* name) { return folder.filePath(name).toStdString(); }
};

TEST_F(ConfigurationTest, SavedConfigurationLoadsBackOnEveryPage) {
    ChangeEveryPage(0);
    const std::string saved = Pages();
    messages.saveAnswer = {PathOf("bench"), "Configurations (*.ini *.INI)"};
    form.actions().SaveConfiguration1->trigger();
    ASSERT_TRUE(messages.boxes.empty()) << messages.boxes.front().text;
    ASSERT_EQ(messages.saveDialogs.size(), 1u);
    EXPECT_EQ(messages.saveDialogs[0].caption, "Save Configuration");
    ASSERT_TRUE(FileExists(PathOf("bench.ini")));  // the default suffix added

    ChangeEveryPage(1);
    ASSERT_NE(Pages(), saved);
    messages.openAnswer = PathOf("bench.ini");
    form.actions().LoadConfiguration1->trigger();
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(Pages(), saved);
    EXPECT_EQ(config.busRate, 125000);
    EXPECT_EQ(config.listenOnly, 1);
    EXPECT_EQ(config.filterCount, 2);

    // Loaded is current: closing saves it to the settings file.
    form.close();
    ConfigRecord next;
    FakeConfigControls controls;
    LoadConfig(form.configPath(), next, controls);
    EXPECT_EQ(std::memcmp(&next, &config, sizeof next), 0);
}

TEST_F(ConfigurationTest, AFileThatIsNoConfigurationChangesNothingAndIsNamedInABox) {
    messages.saveAnswer = {PathOf("good.ini"), ""};
    form.SaveConfiguration1Click();
    const std::string good = ReadFileBytes(PathOf("good.ini"));
    Connect();
    ChangeEveryPage(1);
    TakeWritten();
    const std::string pages = Pages();
    const ConfigRecord before = config;

    struct Case {
        const char* name;
        std::string contents;
        const char* problem;
    };
    const Case cases[] = {
        {"garbage.ini", "\x89PNG\r\n\x1A\n binary",
         "It is not a configuration file: it holds none of the settings."},
        {"short.ini", good.substr(0, good.find("B100=")),
         "It is too short: only 100 of the 452 settings are there."},
        {"signature.ini",
         good.substr(0, good.find("B448=")) + "B448=1\r\n" + good.substr(good.find("B449=")),
         "It is not a configuration of this program: its signature is wrong."},
    };
    for (const Case& c : cases) {
        WriteFileBytes(PathOf(c.name), c.contents);
        messages.boxes.clear();
        messages.openAnswer = PathOf(c.name);
        form.LoadConfiguration1Click();
        ASSERT_EQ(messages.boxes.size(), 1u) << c.name;
        EXPECT_EQ(messages.boxes[0].text,
                  "Cannot load configuration\n" + PathOf(c.name) + "\n" + c.problem);
        EXPECT_EQ(messages.boxes[0].caption, "Error");
        EXPECT_EQ(Pages(), pages) << c.name;
        EXPECT_EQ(std::memcmp(&before, &config, sizeof config), 0) << c.name;
        EXPECT_TRUE(TakeWritten().empty()) << c.name;
    }
}

}  // namespace
