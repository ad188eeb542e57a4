#pragma once

#include <QWidget>

#include "views/identifier_stats.h"

class FrameStore;
class IdentifierTableModel;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

// The "By Identifier" page: one row per identifier and kind of the received frames. Frames
// are counted as they arrive, also while paused; the table is redrawn ten times a second while
// the page is visible and not paused, whatever the frame rate.
class IdentifierPage : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRedrawMs = 100;

    explicit IdentifierPage(const FrameStore& store, QWidget* parent = nullptr);

    // A frame as it arrives, with the millisecond clock's time.
    void AddFrame(const CANBuffer& record, uint64_t arrivalMs);
    // Starts again from what the frame store holds.
    void RebuildFromStore();
    void Redraw();

    const IdentifierStats& stats() const { return stats_; }
    IdentifierTableModel& model() { return *model_; }

    QLineEdit* eFilter;
    QCheckBox* cbPause;
    QPushButton* bClear;
    QPushButton* bFromStore;
    QTableView* table;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    const FrameStore& store_;
    IdentifierStats stats_;
    IdentifierTableModel* model_;
    QTimer* redrawTimer_;
};
