#include "views/identifier_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "session/frame_store.h"
#include "views/identifier_table_model.h"

namespace {

TEST(IdentifierPage, FromStoredFramesClearPauseAndFilterBox) {
    FrameStore store;
    for (uint32_t id : {0x100u, 0x200u, 0x100u})
        store.Append(CANBuffer(id, false, false, 0, nullptr));
    IdentifierPage page(store);
    IdentifierTableModel& model = page.model();

    page.bFromStore->click();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(page.stats().Rows()[0].count, 2u);

    page.cbPause->setChecked(true);
    page.AddFrame(CANBuffer(0x300, false, false, 0, nullptr), 0);
    EXPECT_EQ(page.stats().Rows().size(), 3u);  // counted while paused
    EXPECT_EQ(model.rowCount(), 2);             // not shown until the pause ends
    page.cbPause->setChecked(false);
    EXPECT_EQ(model.rowCount(), 3);

    page.eFilter->setText("2");
    EXPECT_EQ(model.rowCount(), 1);
    const QColor normal = page.palette().color(QPalette::Base);
    EXPECT_EQ(page.eFilter->palette().color(QPalette::Base), normal);
    page.eFilter->setText("2-");
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_NE(page.eFilter->palette().color(QPalette::Base), normal);
    page.eFilter->clear();

    page.bClear->click();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(page.stats().Rows().empty());
}

}  // namespace
