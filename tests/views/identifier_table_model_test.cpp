#include "views/identifier_table_model.h"

#include <gtest/gtest.h>

#include <QColor>

#include "session/can_buffer.h"
#include "views/identifier_stats.h"

namespace {

constexpr uint32_t kTicksPerMs = IdentifierRow::kTicksPerMs;

void Add(IdentifierStats& stats, uint32_t ms, uint32_t id, std::vector<uint8_t> data) {
    stats.Add(CANBuffer(id, false, false, static_cast<uint8_t>(data.size()), data.data(),
                        ms * kTicksPerMs),
              ms);
}

QStringList Column(const IdentifierTableModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.data(model.index(row, column)).toString();
    return texts;
}

TEST(IdentifierTableModel, ShowsSortsFiltersAndMarksChangedBytes) {
    IdentifierStats stats;
    Add(stats, 0, 0x7FF, {1});
    for (uint32_t ms : {0, 10, 20}) Add(stats, ms, 0x123, {0xAB, static_cast<uint8_t>(ms)});
    Add(stats, 0, 0x12, {});
    Add(stats, 40, 0x12, {});
    IdentifierTableModel model(stats);
    model.Refresh(stats.DeviceNow(100));  // device time 100 ms

    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(Column(model, IdentifierTableModel::kIdentifier),
              QStringList({"0x000007FF", "0x00000123", "0x00000012"}));
    const int row123 = 1;
    EXPECT_EQ(model.data(model.index(row123, IdentifierTableModel::kFirstData + 1)), "14");
    EXPECT_EQ(model.data(model.index(row123, IdentifierTableModel::kCount)), "3");
    EXPECT_EQ(model.data(model.index(row123, IdentifierTableModel::kPeriod)), "10.0");
    EXPECT_EQ(model.data(model.index(row123, IdentifierTableModel::kLastSeen)), "80.0");
    EXPECT_EQ(model.data(model.index(row123, IdentifierTableModel::kKind)), "S");
    // The second byte changed at 20 ms, the first never did.
    EXPECT_TRUE(
        model.data(model.index(row123, IdentifierTableModel::kFirstData + 1), Qt::BackgroundRole)
            .isValid());
    EXPECT_FALSE(
        model.data(model.index(row123, IdentifierTableModel::kFirstData), Qt::BackgroundRole)
            .isValid());
    EXPECT_FALSE(model.data(model.index(row123, IdentifierTableModel::kFirstData + 2))
                     .isValid());  // beyond the length

    model.sort(IdentifierTableModel::kCount, Qt::DescendingOrder);
    EXPECT_EQ(Column(model, IdentifierTableModel::kIdentifier),
              QStringList({"0x00000123", "0x00000012", "0x000007FF"}));
    model.sort(IdentifierTableModel::kIdentifier, Qt::AscendingOrder);
    EXPECT_EQ(Column(model, IdentifierTableModel::kIdentifier),
              QStringList({"0x00000012", "0x00000123", "0x000007FF"}));
    model.sort(IdentifierTableModel::kPeriod, Qt::DescendingOrder);
    EXPECT_EQ(Column(model, IdentifierTableModel::kPeriod), QStringList({"40.0", "10.0", "0.0"}));

    // A new identifier shows at the next refresh, in its sorted place.
    Add(stats, 60, 0x555, {});
    Add(stats, 160, 0x555, {});
    EXPECT_EQ(model.rowCount(), 3);
    model.Refresh(stats.DeviceNow(160));
    EXPECT_EQ(Column(model, IdentifierTableModel::kPeriod),
              QStringList({"100.0", "40.0", "10.0", "0.0"}));

    model.SetFilter(IdentifierFilter("12"));
    EXPECT_EQ(Column(model, IdentifierTableModel::kIdentifier),
              QStringList({"0x00000012", "0x00000123"}));
    model.SetFilter(IdentifierFilter("200-7FF"));
    EXPECT_EQ(Column(model, IdentifierTableModel::kIdentifier),
              QStringList({"0x00000555", "0x000007FF"}));
    model.SetFilter(IdentifierFilter("zz"));
    EXPECT_EQ(model.rowCount(), 0);

    stats.Clear();
    model.SetFilter(IdentifierFilter());
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
