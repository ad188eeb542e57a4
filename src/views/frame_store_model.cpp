#include "views/frame_store_model.h"

#include <algorithm>

#include "monitor/frame_line.h"
#include "session/frame_store.h"

namespace {

const char* const kHeaders[FrameStoreModel::kColumns] = {"Sequence",   "Time",   "Kind", "R",
                                                         "Identifier", "Length", "Data"};

}  // namespace

FrameStoreModel::FrameStoreModel(const FrameStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {}

bool FrameStoreModel::Sync() {
    const int stored = static_cast<int>(store_.Size());
    if (stored < rows_) {
        beginResetModel();
        rows_ = stored;
        endResetModel();
        return false;
    }
    if (stored == rows_) return false;
    beginInsertRows({}, rows_, stored - 1);
    rows_ = stored;
    endInsertRows();
    return true;
}

QString FrameStoreModel::LogLines(const QList<int>& rows) const {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QString text;
    for (int row : sorted)
        text +=
            QString::fromStdString(FormatFrameLine(store_[static_cast<size_t>(row)], false)) + '\n';
    return text;
}

int FrameStoreModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int FrameStoreModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant FrameStoreModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rows_) return {};
    const CANBuffer& record = store_[static_cast<size_t>(index.row())];
    switch (index.column()) {
        case kSequence:
            return QString("%1").arg(record.sequence, 6, 10, QChar('0'));
        case kTime:
            return QString::fromStdString(FormatDeviceTime(record.timestamp));
        case kKind:
            return record.extended ? "E" : "S";
        case kResponse:
            return record.response ? "R" : "";
        case kIdentifier:
            return QString::fromStdString(FormatIdentifier(record.id));
        case kDlc:
            return record.brief ? QString("??") : QString::number(record.dlc);
        case kData:
            return record.brief ? QString("(Brief Mode)")
                                : QString::fromStdString(FormatDataBytes(record)).trimmed();
        default:
            break;
    }
    return {};
}

QVariant FrameStoreModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return kHeaders[section];
}
