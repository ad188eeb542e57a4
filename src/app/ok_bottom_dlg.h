#pragma once

#include <QDialog>

class QFrame;
class QHBoxLayout;
class QPushButton;

// The plain OK/Cancel dialog: a framed bevel above a row with an OK button (the default,
// closes with Accepted) and a Cancel button (closes with Rejected). It has a fixed size,
// 313 x 214 unless its contents need more, and shows centred on the screen. Dialogs of the
// program derive from it, fill the bevel and rearrange the button row.
class TOKBottomDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TOKBottomDlg(QWidget* parent = nullptr);

    QFrame* Bevel1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

  protected:
    // The size the dialog is fixed at when shown, or wider or taller where its contents need it.
    void SetDesignedSize(QSize size);
    void showEvent(QShowEvent* event) override;

    // The row under the bevel, OK and Cancel in its middle.
    QHBoxLayout* buttonRow_;

  private:
    QSize designedSize_;
};
