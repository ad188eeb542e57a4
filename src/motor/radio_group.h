#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A titled box of exclusive radio buttons, one per item, read and set by item index.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    // The selected item, -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;

  signals:
    // Another item became the selected one, through the user or from code.
    void Click(int index);

  private:
    QButtonGroup* buttons_;
};
