#pragma once

#include <QWidget>

class FrameStore;
class FrameStoreModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

// Log > Show Message Range: every stored frame in a table, with Go to (sequence number), Find
// next and previous (identifier or data bytes), Copy of the selected rows as log lines, and
// Follow, which keeps the newest frame in sight. New frames are taken ten times a second.
class FrameRangeWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSyncMs = 100;

    explicit FrameRangeWindow(const FrameStore& store, QWidget* parent = nullptr);

    // Takes the frames stored since the last call.
    void Sync();
    void GoToClick();
    void FindClick(bool forward);
    void CopyClick();

    FrameStoreModel& model() { return *model_; }

    QLineEdit* eGoTo;
    QComboBox* cbFindField;
    QLineEdit* eFind;
    QPushButton* bFindNext;
    QPushButton* bFindPrevious;
    QPushButton* bCopy;
    QCheckBox* cbFollow;
    QLabel* lResult;
    QTableView* table;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SelectRow(size_t row);

    const FrameStore& store_;
    FrameStoreModel* model_;
    QTimer* syncTimer_;
};
