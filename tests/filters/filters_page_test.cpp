#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "filters/filters_page.h"
#include "filters/set_filter_dialog.h"
#include "support/modal_dialog_answer.h"

namespace {

const char* const kNewEntryPattern = "0 0000 0000 0000 XXXX XXXX XXXX XXXX ";

struct FiltersPageTest : testing::Test {
    ConfigRecord config;
    TSetFilter setFilter;
    int uploads = 0;
    int controlUpdates = 0;
    FiltersPage page{config, setFilter,
                     {[this] { ++uploads; }, [this] { ++controlUpdates; }}};

    FiltersPageTest() { page.RedrawFilterList(); }

    // Adds a filter, looking at the dialog as it opens.
    void Add(bool accept, const std::function<void()>& look = {}) {
        ModalDialogAnswer answer(setFilter, accept, look);
        page.bFAddClick();
        ASSERT_EQ(answer.Shown(), 1);
    }

    void Select(int row) {
        page.lFilter->setCurrentRow(row);
        page.UpdateFilterButtons();
    }

    struct ButtonStates {
        bool add, remove, edit, up, down;
        bool operator==(const ButtonStates&) const = default;
    };
    ButtonStates Buttons() const {
        return {page.bFAdd->isEnabled(), page.bFDelete->isEnabled(), page.bFEdit->isEnabled(),
                page.bFUp->isEnabled(), page.bFDown->isEnabled()};
    }
};

}  // namespace

TEST_F(FiltersPageTest, AddingFiltersShowsTheCaptionAndLocksSharedMasks) {
    Add(true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 0");
        EXPECT_EQ(setFilter.eID->text(), "00000000");
        EXPECT_EQ(setFilter.eMask->text(), "1FFF0000");
        EXPECT_TRUE(setFilter.eMask->isEnabled());
        EXPECT_TRUE(setFilter.cbExtendedID->isChecked());
        EXPECT_EQ(setFilter.pMask->text(), kNewEntryPattern);
        setFilter.eMask->setText("1FFFFF00");
    });
    EXPECT_EQ(config.filterCount, 1);
    EXPECT_EQ(config.filters[0].mask, 0x1FFFFF00u);
    Add(true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 1");
        EXPECT_FALSE(setFilter.eMask->isEnabled());
        EXPECT_EQ(setFilter.eMask->text(), "1FFFFF00");  // entry 0's mask
    });
    Add(true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 2");
        EXPECT_TRUE(setFilter.eMask->isEnabled());
        setFilter.eMask->setText("000000FF");
    });
    Add(true, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 3");
        EXPECT_FALSE(setFilter.eMask->isEnabled());
        EXPECT_EQ(setFilter.eMask->text(), "000000FF");  // entry 2's mask
    });
    EXPECT_EQ(config.filterCount, 4);
    ASSERT_EQ(page.lFilter->count(), 4);
    EXPECT_TRUE(page.lFilter->item(3)->text().startsWith("F E   3 0x00000000    3 0x000000FF "));
}

TEST_F(FiltersPageTest, TheDialogPatternFollowsEveryKeystrokeAndOkCutsToElevenBits) {
    Add(true, [this] {
        setFilter.eID->clear();
        QTest::keyClicks(setFilter.eID, "FFFF");
        EXPECT_EQ(setFilter.pMask->text(), "0 0000 0000 0000 XXXX XXXX XXXX XXXX ");
        setFilter.eMask->clear();
        QTest::keyClicks(setFilter.eMask, "1FFFFFFF");
        EXPECT_EQ(setFilter.pMask->text(), "0 0000 0000 0000 1111 1111 1111 1111 ");
        QTest::mouseClick(setFilter.cbExtendedID, Qt::LeftButton);
        EXPECT_EQ(setFilter.pMask->text(), "111 1111 1111 ");
    });
    EXPECT_EQ(config.filters[0].id, 0x7FFu);
    EXPECT_EQ(config.filters[0].mask, 0x7FFu);
    EXPECT_EQ(config.filters[0].extended, 0);
    EXPECT_EQ(page.lFilter->item(0)->text(), "F S   0 0x7FF    0 0x7FF  (111 1111 1111 )");

    // A standard entry opens with four-digit texts.
    Select(0);
    ModalDialogAnswer look(setFilter, false, [this] {
        EXPECT_EQ(setFilter.windowTitle(), "Set Filter 0");
        EXPECT_EQ(setFilter.eID->text(), "07FF");
        EXPECT_EQ(setFilter.eMask->text(), "07FF");
        EXPECT_FALSE(setFilter.cbExtendedID->isChecked());
    });
    page.bFEditClick();
    EXPECT_EQ(look.Shown(), 1);
}

TEST_F(FiltersPageTest, UncheckingExtendedOnANewEntryStoresMaskZero) {
    Add(true, [this] { setFilter.cbExtendedID->setChecked(false); });
    EXPECT_EQ(config.filters[0].mask, 0u);
    EXPECT_EQ(config.filters[0].extended, 0);
}

TEST_F(FiltersPageTest, EveryCommandRedrawsAndUploadsAlsoWhenCancelled) {
    const int before = uploads;
    Add(false);
    EXPECT_EQ(config.filterCount, 0);
    EXPECT_EQ(uploads, before + 1);
    Add(true);
    Select(0);
    {
        ModalDialogAnswer cancel(setFilter, false);
        page.bFEditClick();
        EXPECT_EQ(cancel.Shown(), 1);
    }
    EXPECT_EQ(uploads, before + 3);
    EXPECT_EQ(page.SelectedIndex(), -1);  // redrawing leaves nothing selected

    // Without a selection, Edit and Delete do nothing at all.
    page.bFEditClick();
    page.bFDeleteClick();
    EXPECT_EQ(uploads, before + 3);
    EXPECT_EQ(config.filterCount, 1);
}

TEST_F(FiltersPageTest, ButtonStatesFollowTheSelectionAndTheListSize) {
    for (int i = 0; i < 3; ++i) Add(true);
    page.UpdateFilterButtons();
    EXPECT_EQ(Buttons(), (ButtonStates{true, false, false, false, false}));
    Select(0);
    EXPECT_EQ(Buttons(), (ButtonStates{true, true, true, false, true}));
    Select(1);
    EXPECT_EQ(Buttons(), (ButtonStates{true, true, true, true, true}));
    Select(2);
    EXPECT_EQ(Buttons(), (ButtonStates{true, true, true, true, false}));

    // Clicking an item runs UpdateControls.
    const int updates = controlUpdates;
    QTest::mouseClick(page.lFilter->viewport(), Qt::LeftButton, {},
                      page.lFilter->visualItemRect(page.lFilter->item(1)).center());
    EXPECT_GT(controlUpdates, updates);

    config.filterCount = ConfigRecord::kMaxFilters;
    page.RedrawFilterList();
    page.UpdateFilterButtons();
    EXPECT_FALSE(page.bFAdd->isEnabled());
    ModalDialogAnswer never(setFilter, false);
    page.bFAddClick();
    EXPECT_EQ(never.Shown(), 0);
}

TEST_F(FiltersPageTest, MovingKeepsTheMovedEntrySelected) {
    for (int i = 0; i < 4; ++i) {
        Add(true, [this, i] { setFilter.eID->setText(QString::number(i)); });
    }
    Select(2);
    const int updates = controlUpdates;
    page.bFUpClick();
    EXPECT_EQ(page.SelectedIndex(), 1);
    EXPECT_EQ(config.filters[1].id, 2u);
    EXPECT_EQ(controlUpdates, updates + 1);
    page.bFDownClick();
    EXPECT_EQ(page.SelectedIndex(), 2);
    EXPECT_EQ(config.filters[2].id, 2u);
    Select(3);
    page.bFDownClick();  // the last entry stays
    EXPECT_EQ(config.filters[3].id, 3u);

    page.bFDeleteClick();
    EXPECT_EQ(config.filterCount, 3);
    EXPECT_EQ(page.lFilter->count(), 3);
}

TEST_F(FiltersPageTest, DoubleClickEditsAndTheDialogOpensSixteenPixelsIntoTheList) {
    Add(true);
    page.move(40, 30);
    page.show();
    ModalDialogAnswer look(setFilter, true, [this] {
        EXPECT_EQ(setFilter.pos(), page.pos() + page.lFilter->pos() + QPoint(16, 16));
        setFilter.eID->setText("123");
    });
    const QPoint itemCentre = page.lFilter->visualItemRect(page.lFilter->item(0)).center();
    QTest::mouseClick(page.lFilter->viewport(), Qt::LeftButton, {}, itemCentre);
    QTest::mouseDClick(page.lFilter->viewport(), Qt::LeftButton, {}, itemCentre);
    EXPECT_EQ(look.Shown(), 1);
    EXPECT_EQ(config.filters[0].id, 0x123u);
}
