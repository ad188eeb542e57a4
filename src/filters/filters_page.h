#pragma once

#include <QWidget>

#include "common/on_demand.h"
#include "config/config_controls.h"
#include "filters/filter_table.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class SessionCommands;
class TSetFilter;

// The Filters tab: the acceptance filter list, its five buttons and the note on the shared
// masks. Every command that changes the list, also a cancelled edit, redraws it and uploads
// the six fast filters to the device.
class FiltersPage : public QWidget, public FilterListConfigControls {
    Q_OBJECT
  public:
    FiltersPage(ConfigRecord& config, OnDemand<TSetFilter> setFilter, SessionCommands& session,
                QWidget* parent = nullptr);

    // Rebuilds the list text from the record, leaving no item selected, and uploads.
    void RedrawFilterList() override;
    // The filter part of UpdateControls: the buttons' enabled states.
    void UpdateFilterButtons();
    // The selected list index, -1 when none.
    int SelectedIndex() const;

    void bFAddClick();
    void bFDeleteClick();
    void bFEditClick();
    void bFUpClick();
    void bFDownClick();
    void lFilterClick();

  signals:
    // The list or its selection changed: the window's controls, the filter buttons among
    // them, follow it.
    void filtersChanged();

  private:
    QPushButton* bFAdd;
    QPushButton* bFDelete;
    QPushButton* bFEdit;
    QPushButton* bFUp;
    QPushButton* bFDown;
    QPlainTextEdit* Memo1;
    QListWidget* lFilter;

    // The Set Filter dialog, opened 16 pixels right of and below the list's place counted
    // from the main window's outer corner.
    FilterEditor DialogEditor();
    void SelectAfterMove(int index);

    FilterTable table_;
    OnDemand<TSetFilter> setFilter_;
    SessionCommands& session_;
};
