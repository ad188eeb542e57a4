#include "filters/filters_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "filters/set_filter_dialog.h"
#include "support/fake_session_commands.h"
#include "support/modal_dialog_answer.h"
#include "support/named_child.h"

namespace {

struct FiltersPageTest : testing::Test {
    ConfigRecord config;
    TSetFilter setFilter;
    FakeSessionCommands session;
    const int& uploads = session.uploads;
    int controlUpdates = 0;
    FiltersPage page{config, setFilter, session};

    FiltersPageTest() {
        QObject::connect(&page, &FiltersPage::filtersChanged, [this] { ++controlUpdates; });
    }

    // Runs a command that opens the dialog once, looking at the dialog as it opens.
    void Answer(void (FiltersPage::*command)(), bool accept,
                const std::function<void()>& look = {}) {
        ModalDialogAnswer answer(setFilter, accept, look);
        (page.*command)();
        ASSERT_EQ(answer.Shown(), 1);
    }

    QListWidget* List() const { return NamedChild<QListWidget>(page, "lFilter"); }
    QPushButton* Button(const char* name) const { return NamedChild<QPushButton>(page, name); }

    void Select(int row) {
        List()->setCurrentRow(row);
        page.UpdateFilterButtons();
    }

    // Add, Delete, Edit, Move Up, Move Dn.
    std::vector<bool> Buttons() const {
        return {Button("bFAdd")->isEnabled(), Button("bFDelete")->isEnabled(),
                Button("bFEdit")->isEnabled(), Button("bFUp")->isEnabled(),
                Button("bFDown")->isEnabled()};
    }
};

}  // namespace

TEST_F(FiltersPageTest, AddingFiltersShowsTheCaptionAndLocksSharedMasks) {
    Answer(&FiltersPage::bFAddClick, true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 0");
        EXPECT_EQ(setFilter.eID->text(), "00000000");
        EXPECT_EQ(setFilter.eMask->text(), "1FFF0000");
        EXPECT_TRUE(setFilter.eMask->isEnabled());
        EXPECT_TRUE(setFilter.cbExtendedID->isChecked());
        EXPECT_EQ(setFilter.pMask->text(), "0 0000 0000 0000 XXXX XXXX XXXX XXXX ");
        setFilter.eMask->setText("1FFFFF00");
    });
    Answer(&FiltersPage::bFAddClick, true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 1");
        EXPECT_FALSE(setFilter.eMask->isEnabled());
        EXPECT_EQ(setFilter.eMask->text(), "1FFFFF00");  // entry 0's mask
    });
    Answer(&FiltersPage::bFAddClick, true, [this] { setFilter.eMask->setText("000000FF"); });
    Answer(&FiltersPage::bFAddClick, true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 3");
        EXPECT_FALSE(setFilter.eMask->isEnabled());
        EXPECT_EQ(setFilter.eMask->text(), "000000FF");  // entry 2's mask
    });
    EXPECT_EQ(config.filterCount, 4);
    ASSERT_EQ(List()->count(), 4);
    EXPECT_TRUE(List()->item(3)->text().startsWith("F E   3 0x00000000    3 0x000000FF "));
}

TEST_F(FiltersPageTest, ThePatternFollowsEveryKeystrokeAndOkCutsToElevenBits) {
    Answer(&FiltersPage::bFAddClick, true, [this] {
        setFilter.eID->clear();
        QTest::keyClicks(setFilter.eID, "FFFF");
        setFilter.eMask->clear();
        QTest::keyClicks(setFilter.eMask, "1FFFFFFF");
        EXPECT_EQ(setFilter.pMask->text(), "0 0000 0000 0000 1111 1111 1111 1111 ");
        QTest::mouseClick(setFilter.cbExtendedID, Qt::LeftButton);
        EXPECT_EQ(setFilter.pMask->text(), "111 1111 1111 ");
    });
    EXPECT_EQ(config.filters[0].id, 0x7FFu);
    EXPECT_EQ(config.filters[0].mask, 0x7FFu);
    EXPECT_EQ(List()->item(0)->text(), "F S   0 0x7FF    0 0x7FF  (111 1111 1111 )");

    // A standard entry opens with four-digit texts.
    Select(0);
    Answer(&FiltersPage::bFEditClick, false, [this] {
        EXPECT_EQ(setFilter.eID->text(), "07FF");
        EXPECT_FALSE(setFilter.cbExtendedID->isChecked());
    });
}

TEST_F(FiltersPageTest, EveryCommandRedrawsAndUploadsAlsoWhenCancelled) {
    Answer(&FiltersPage::bFAddClick, false);
    EXPECT_EQ(config.filterCount, 0);
    EXPECT_EQ(uploads, 1);
    // Unchecking Extended ID on a new entry cuts its mask 0x1FFF0000 to 0.
    Answer(&FiltersPage::bFAddClick, true, [this] { setFilter.cbExtendedID->setChecked(false); });
    EXPECT_EQ(config.filters[0].mask, 0u);
    Select(0);
    Answer(&FiltersPage::bFEditClick, false);
    EXPECT_EQ(uploads, 3);
    EXPECT_EQ(page.SelectedIndex(), -1);  // redrawing leaves nothing selected

    // Without a selection Edit and Delete do nothing at all.
    page.bFEditClick();
    page.bFDeleteClick();
    EXPECT_EQ(uploads, 3);
    EXPECT_EQ(config.filterCount, 1);
}

TEST_F(FiltersPageTest, ButtonsFollowTheSelectionAndMovesKeepTheEntrySelected) {
    for (int i = 0; i < 3; ++i) Answer(&FiltersPage::bFAddClick, true);
    page.UpdateFilterButtons();
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, false, false, false, false}));
    Select(0);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true, false, true}));
    Select(2);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true, true, false}));

    const int updates = controlUpdates;
    page.bFUpClick();
    EXPECT_EQ(page.SelectedIndex(), 1);
    EXPECT_EQ(controlUpdates, updates + 1);
    page.bFDownClick();
    EXPECT_EQ(page.SelectedIndex(), 2);

    config.filterCount = ConfigRecord::kMaxFilters;
    page.RedrawFilterList();
    page.UpdateFilterButtons();
    EXPECT_FALSE(Button("bFAdd")->isEnabled());
}

TEST_F(FiltersPageTest, DoubleClickEditsAndTheDialogOpensSixteenPixelsIntoTheList) {
    Answer(&FiltersPage::bFAddClick, true);
    page.move(40, 30);
    page.show();
    ModalDialogAnswer look(setFilter, true, [this] {
        EXPECT_EQ(setFilter.pos(), page.pos() + List()->pos() + QPoint(16, 16));
        setFilter.eID->setText("123");
    });
    const QPoint itemCentre = List()->visualItemRect(List()->item(0)).center();
    const int updates = controlUpdates;
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, itemCentre);
    EXPECT_GT(controlUpdates, updates);  // a click runs UpdateControls
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, itemCentre);
    EXPECT_EQ(look.Shown(), 1);
    EXPECT_EQ(config.filters[0].id, 0x123u);
}
