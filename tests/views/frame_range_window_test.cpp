#include "views/frame_range_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include "monitor/frame_line.h"
#include "session/frame_store.h"
#include "views/frame_search.h"
#include "views/frame_store_model.h"

namespace {

// Frame i: identifier i % 100, data (i >> 8, i & 0xFF), so every data pair is unique.
CANBuffer Numbered(uint32_t i) {
    const uint8_t data[2] = {static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
    CANBuffer record(i % 100, false, i % 2 == 0, 2, data, i * 1000);
    record.sequence = i;
    return record;
}

class FrameRangeWindowTest : public ::testing::Test {
  protected:
    FrameRangeWindowTest() {
        for (uint32_t i = 0; i < FrameStore::kLimit; ++i) store.Append(Numbered(i));
        window.Sync();
    }
    int CurrentRow() const { return window.table->currentIndex().row(); }
    void Find(int field, const char* text, bool forward) {
        window.cbFindField->setCurrentIndex(field);
        window.eFind->setText(text);
        window.FindClick(forward);
    }

    FrameStore store;
    FrameRangeWindow window{store};
};

TEST_F(FrameRangeWindowTest, FiftyThousandRowsGoToFindAndCopy) {
    ASSERT_EQ(window.model().rowCount(), 50000);
    const FrameStoreModel& model = window.model();
    const auto cell = [&](int row, int column) {
        return model.data(model.index(row, column)).toString();
    };
    EXPECT_EQ(cell(12345, FrameStoreModel::kSequence), "012345");
    EXPECT_EQ(cell(12345, FrameStoreModel::kTime), "0,006,172,500");
    EXPECT_EQ(cell(12345, FrameStoreModel::kKind), "S");
    EXPECT_EQ(cell(12345, FrameStoreModel::kIdentifier), "0x0000002D");
    EXPECT_EQ(cell(12345, FrameStoreModel::kData), "30 39");

    window.eGoTo->setText("12345");
    window.GoToClick();
    EXPECT_EQ(CurrentRow(), 12345);
    window.eGoTo->setText("50000");
    window.GoToClick();
    EXPECT_EQ(CurrentRow(), 12345);
    EXPECT_EQ(window.lResult->text(), "No frame with sequence number 50000");

    Find(0, "0x2A", true);
    EXPECT_EQ(CurrentRow(), 12442);
    Find(0, "2a", false);
    EXPECT_EQ(CurrentRow(), 12342);
    Find(1, "30 39", true);
    EXPECT_EQ(CurrentRow(), 12345);
    Find(1, "3039", true);  // the only one
    EXPECT_EQ(CurrentRow(), 12345);
    EXPECT_EQ(window.lResult->text(), "Not found after this row");
    Find(1, "303", true);
    EXPECT_EQ(window.lResult->text(), "Find: data is hex bytes such as 55 AA");

    // Copied rows are log lines, oldest first, whatever order they were selected in.
    QItemSelectionModel& selection = *window.table->selectionModel();
    selection.clearSelection();
    for (int row : {7, 3})
        selection.select(model.index(row, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.CopyClick();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              FormatFrameLine(store[3], false) + "\n" + FormatFrameLine(store[7], false) + "\n");
}

TEST_F(FrameRangeWindowTest, FollowKeepsTheNewestRowInSightAndAClearedStoreEmptiesTheTable) {
    window.show();
    window.cbFollow->setChecked(true);
    store.Clear();
    window.Sync();
    EXPECT_EQ(window.model().rowCount(), 0);
    for (uint32_t i = 0; i < 1000; ++i) store.Append(Numbered(i));
    window.Sync();
    EXPECT_EQ(window.model().rowCount(), 1000);
    const QScrollBar& scroll = *window.table->verticalScrollBar();
    EXPECT_GT(scroll.maximum(), 0);
    EXPECT_EQ(scroll.value(), scroll.maximum());

    window.eGoTo->setText("10");
    window.GoToClick();  // looking at a row ends following
    EXPECT_FALSE(window.cbFollow->isChecked());
    store.Append(Numbered(1000));
    window.Sync();
    EXPECT_LT(scroll.value(), scroll.maximum());
}

TEST(FrameQuery, FormsOfIdentifierAndData) {
    using Field = FrameQuery::Field;
    EXPECT_EQ(FrameQuery::Parse(Field::Identifier, "0x18EF2000")->id, 0x18EF2000u);
    EXPECT_EQ(FrameQuery::Parse(Field::Identifier, " 7ff ")->id, 0x7FFu);
    for (const char* bad : {"", "1G", "123456789", "0x"})
        EXPECT_FALSE(FrameQuery::Parse(Field::Identifier, bad)) << bad;
    EXPECT_EQ(FrameQuery::Parse(Field::Data, "55 aa")->bytes, (std::vector<uint8_t>{0x55, 0xAA}));
    EXPECT_EQ(FrameQuery::Parse(Field::Data, "55AA")->bytes, (std::vector<uint8_t>{0x55, 0xAA}));
    for (const char* bad : {"", "55 A", "5G"})
        EXPECT_FALSE(FrameQuery::Parse(Field::Data, bad)) << bad;
    // Only the bytes within the length count.
    const uint8_t data[8] = {1, 0x55, 0xAA};
    EXPECT_TRUE(
        FrameQuery::Parse(Field::Data, "55 AA")->Matches(CANBuffer(1, false, false, 3, data)));
    EXPECT_FALSE(
        FrameQuery::Parse(Field::Data, "55 AA")->Matches(CANBuffer(1, false, false, 2, data)));
}

}  // namespace
