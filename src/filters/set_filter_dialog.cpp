#include "filters/set_filter_dialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/buddy_label.h"
#include "common/text.h"
#include "filters/filter_text.h"

TSetFilter::TSetFilter(QWidget* parent)
    : QDialog(parent),
      eID(new QLineEdit("00000000", this)),
      cbExtendedID(new QCheckBox("Extended ID", this)),
      eMask(new QLineEdit("00000000", this)),
      pMask(new QLineEdit(this)),
      OKBtn(new QPushButton("OK", this)),
      CancelBtn(new QPushButton("Cancel", this)) {
    cbExtendedID->setChecked(true);
    pMask->setEnabled(false);
    pMask->setAccessibleName("Mask Bits");
    pMask->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPalette red = pMask->palette();
    red.setColor(QPalette::Disabled, QPalette::Text, Qt::red);
    pMask->setPalette(red);
    pMask->setMinimumWidth(pMask->fontMetrics().horizontalAdvance(QString(40, 'X')));
    OKBtn->setDefault(true);

    auto* values = new QGridLayout;
    values->addWidget(BuddyLabel("ID : 0x", eID), 0, 0);
    values->addWidget(eID, 0, 1);
    values->addWidget(cbExtendedID, 0, 2);
    values->addWidget(BuddyLabel("Mask : 0x", eMask), 1, 0);
    values->addWidget(eMask, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(values);
    layout->addWidget(pMask);
    layout->addLayout(buttons);

    connect(eID, &QLineEdit::textChanged, this, &TSetFilter::eIDChange);
    connect(eMask, &QLineEdit::textChanged, this, &TSetFilter::eIDChange);
    connect(cbExtendedID, &QCheckBox::toggled, this, &TSetFilter::eIDChange);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSetFilter::EditFilter(FilterEntry& entry, bool maskEditable, int number, QPoint topLeft) {
    move(topLeft);
    setWindowTitle(QString("Set Filter %1").arg(number));
    const bool extended = entry.extended != 0;
    cbExtendedID->setChecked(extended);
    eID->setText(QString::fromStdString(FormatIdText(entry.id, extended)));
    eMask->setText(QString::fromStdString(FormatIdText(entry.mask, extended)));
    eMask->setEnabled(maskEditable);
    eIDChange();
    if (exec() != QDialog::Accepted) return false;

    const FilterEntry confirmed = FilterFromTexts(
        eID->text().toStdString(), eMask->text().toStdString(), cbExtendedID->isChecked(), true);
    entry.id = confirmed.id;
    entry.mask = confirmed.mask;
    entry.extended = confirmed.extended;
    return true;
}

void TSetFilter::eIDChange() {
    const FilterEntry shown = FilterFromTexts(
        eID->text().toStdString(), eMask->text().toStdString(), cbExtendedID->isChecked(), false);
    pMask->setText(QString::fromStdString(FilterPattern(shown)));
}
