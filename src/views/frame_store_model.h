#pragma once

#include <QAbstractTableModel>

class FrameStore;

// The stored frames as a table with the columns of a received log line: sequence, device
// time, kind (E/S), response (R), identifier, length and data. Rows are added at Sync, so the
// view follows the store as often as the caller syncs, not per frame.
class FrameStoreModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kSequence, kTime, kKind, kResponse, kIdentifier, kDlc, kData, kColumns };

    explicit FrameStoreModel(const FrameStore& store, QObject* parent = nullptr);

    // Takes the frames stored since the last call (or starts again after the store was
    // cleared); true when rows were added.
    bool Sync();
    // The log lines of these rows, one per line.
    QString LogLines(const QList<int>& rows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    const FrameStore& store_;
    int rows_ = 0;
};
