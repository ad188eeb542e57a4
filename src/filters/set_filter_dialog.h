#pragma once

#include <QDialog>

#include "config/config_record.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// The modal editor of one acceptance filter. The pattern below the two boxes follows every
// keystroke; OK cuts the identifier and the mask to 11 or 29 bits.
class TSetFilter : public QDialog {
    Q_OBJECT
  public:
    explicit TSetFilter(QWidget* parent = nullptr);

    // Shows the dialog at `topLeft` (outer corner) captioned "Set Filter <number>"; a locked
    // mask box still shows the shared mask. On OK the entry takes the dialog's values.
    bool EditFilter(FilterEntry& entry, bool maskEditable, int number, QPoint topLeft);

    QLineEdit* eID;
    QCheckBox* cbExtendedID;
    QLineEdit* eMask;
    QLineEdit* pMask;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

  private:
    void eIDChange();
};
