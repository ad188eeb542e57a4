#include "views/identifier_table_model.h"

#include <QColor>
#include <algorithm>

#include "common/text.h"
#include "monitor/frame_line.h"
#include "views/identifier_stats.h"

namespace {

const QColor kChangedByte(255, 220, 120);

const char* const kHeaders[IdentifierTableModel::kColumns] = {"Identifier",
                                                              "Kind",
                                                              "DLC",
                                                              "D0",
                                                              "D1",
                                                              "D2",
                                                              "D3",
                                                              "D4",
                                                              "D5",
                                                              "D6",
                                                              "D7",
                                                              "Count",
                                                              "Period ms",
                                                              "Jitter min ms",
                                                              "Jitter max ms",
                                                              "Last seen ms"};

int DataByte(int column) {
    return column - IdentifierTableModel::kFirstData;
}

bool IsDataColumn(int column) {
    return column >= IdentifierTableModel::kFirstData && column < IdentifierTableModel::kCount;
}

double SinceMs(const IdentifierRow& row, uint32_t nowTicks) {
    return static_cast<double>(nowTicks - row.lastTicks) / IdentifierRow::kTicksPerMs;
}

}  // namespace

IdentifierTableModel::IdentifierTableModel(const IdentifierStats& stats, QObject* parent)
    : QAbstractTableModel(parent), stats_(stats) {}

void IdentifierTableModel::Refresh(uint32_t nowTicks) {
    nowTicks_ = nowTicks;
    std::vector<size_t> ordered = Ordered();
    if (ordered.size() != shown_.size()) {
        beginResetModel();
        shown_ = std::move(ordered);
        endResetModel();
        return;
    }
    if (ordered != shown_) {
        emit layoutAboutToBeChanged();
        shown_ = std::move(ordered);
        emit layoutChanged();
    }
    if (!shown_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void IdentifierTableModel::SetFilter(const IdentifierFilter& filter) {
    filter_ = filter;
    Refresh(nowTicks_);
}

const IdentifierRow& IdentifierTableModel::RowAt(int row) const {
    return stats_.Rows()[shown_[static_cast<size_t>(row)]];
}

std::vector<size_t> IdentifierTableModel::Ordered() const {
    const std::vector<IdentifierRow>& rows = stats_.Rows();
    std::vector<size_t> ordered;
    ordered.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (filter_.Passes(rows[i].id)) ordered.push_back(i);
    if (sortColumn_ < 0) return ordered;
    std::stable_sort(ordered.begin(), ordered.end(), [&](size_t a, size_t b) {
        const double keyA = SortKey(rows[a], sortColumn_);
        const double keyB = SortKey(rows[b], sortColumn_);
        return sortOrder_ == Qt::AscendingOrder ? keyA < keyB : keyB < keyA;
    });
    return ordered;
}

double IdentifierTableModel::SortKey(const IdentifierRow& row, int column) const {
    if (IsDataColumn(column)) {
        const int byte = DataByte(column);
        // Bytes beyond the length sort before every value.
        return byte < row.dlc ? row.data[static_cast<size_t>(byte)] : -1;
    }
    switch (column) {
        case kIdentifier:
            return row.id;
        case kKind:
            return row.extended;
        case kDlc:
            return row.dlc;
        case kCount:
            return static_cast<double>(row.count);
        case kPeriod:
            return row.MeanPeriodMs();
        case kJitterMin:
            return row.JitterMinMs();
        case kJitterMax:
            return row.JitterMaxMs();
        default:
            break;
    }
    return SinceMs(row, nowTicks_);
}

int IdentifierTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int IdentifierTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant IdentifierTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const IdentifierRow& row = RowAt(index.row());
    const int column = index.column();
    if (role == Qt::BackgroundRole && IsDataColumn(column) && DataByte(column) < row.dlc &&
        row.ChangedWithinSecond(DataByte(column), nowTicks_))
        return kChangedByte;
    if (role == Qt::TextAlignmentRole && column != kIdentifier)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    if (IsDataColumn(column)) {
        const int byte = DataByte(column);
        if (byte >= row.dlc) return {};
        return QString::fromStdString(HexByte(row.data[static_cast<size_t>(byte)]));
    }
    const auto ms = [](double value) { return QString::number(value, 'f', 1); };
    switch (column) {
        case kIdentifier:
            return QString::fromStdString(FormatIdentifier(row.id));
        case kKind:
            return row.extended ? "E" : "S";
        case kDlc:
            return row.dlc;
        case kCount:
            return QString::number(row.count);
        case kPeriod:
            return ms(row.MeanPeriodMs());
        case kJitterMin:
            return ms(row.JitterMinMs());
        case kJitterMax:
            return ms(row.JitterMaxMs());
        case kLastSeen:
            return ms(SinceMs(row, nowTicks_));
        default:
            break;
    }
    return {};
}

QVariant IdentifierTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return kHeaders[section];
}

void IdentifierTableModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    Refresh(nowTicks_);
}
