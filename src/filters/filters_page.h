#pragma once

#include <QWidget>
#include <functional>

#include "filters/filter_table.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TSetFilter;

// The Filters tab: the acceptance filter list, its five buttons and the note on the shared
// masks. Every command that changes the list, also a cancelled edit, redraws it and uploads
// the six fast filters to the device.
class FiltersPage : public QWidget {
    Q_OBJECT
  public:
    struct Hooks {
        // The session's SendSetupAndFilters(false); it sends nothing while disconnected.
        std::function<void()> uploadFilters;
        // The main window's UpdateControls, which calls UpdateFilterButtons.
        std::function<void()> updateControls;
    };

    FiltersPage(ConfigRecord& config, TSetFilter& setFilter, Hooks hooks,
                QWidget* parent = nullptr);

    // Rebuilds the list text from the record, leaving no item selected, and uploads.
    void RedrawFilterList();
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

    QPushButton* bFAdd;
    QPushButton* bFDelete;
    QPushButton* bFEdit;
    QPushButton* bFUp;
    QPushButton* bFDown;
    QPlainTextEdit* Memo1;
    QListWidget* lFilter;

  private:
    // The Set Filter dialog, opened 16 pixels right of and below the list's place counted
    // from the main window's outer corner.
    FilterEditor DialogEditor();
    void SelectAfterMove(int index);

    FilterTable table_;
    TSetFilter& setFilter_;
    Hooks hooks_;
};
