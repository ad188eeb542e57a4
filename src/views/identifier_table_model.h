#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "views/identifier_filter.h"

class IdentifierStats;
struct IdentifierRow;

// The rows of an IdentifierStats as a table: identifier, kind, DLC, the eight data bytes (a
// byte that changed within the last second has a highlighted background), count, mean period,
// jitter below and above it, time since last seen. It changes only at Refresh, so the view
// redraws as often as the caller refreshes, whatever the frame rate.
class IdentifierTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        kIdentifier,
        kKind,
        kDlc,
        kFirstData,
        kCount = kFirstData + 8,
        kPeriod,
        kJitterMin,
        kJitterMax,
        kLastSeen,
        kColumns
    };

    explicit IdentifierTableModel(const IdentifierStats& stats, QObject* parent = nullptr);

    // Takes the rows as they are at device time `nowTicks`, filtered and sorted.
    void Refresh(uint32_t nowTicks);
    void SetFilter(const IdentifierFilter& filter);
    const IdentifierRow& RowAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Sorts at once and at every Refresh after.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  private:
    // Indices into the stats' rows that pass the filter, in the sorted order.
    std::vector<size_t> Ordered() const;
    double SortKey(const IdentifierRow& row, int column) const;

    const IdentifierStats& stats_;
    IdentifierFilter filter_;
    std::vector<size_t> shown_;
    uint32_t nowTicks_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
