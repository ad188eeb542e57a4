#include "app/ok_bottom_dlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 8;
constexpr QSize kDesignedSize(313, 214);

}  // namespace

TOKBottomDlg::TOKBottomDlg(QWidget* parent)
    : QDialog(parent),
      Bevel1(new QFrame),
      OKBtn(new QPushButton("OK")),
      CancelBtn(new QPushButton("Cancel")),
      buttonRow_(new QHBoxLayout) {
    setObjectName("OKBottomDlg");
    setWindowTitle("Dialog");
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    buttonRow_->addStretch();
    buttonRow_->addWidget(OKBtn);
    buttonRow_->addWidget(CancelBtn);
    buttonRow_->addStretch();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->addWidget(Bevel1, 1);
    column->addLayout(buttonRow_);
    SetDesignedSize(kDesignedSize);
}

void TOKBottomDlg::SetDesignedSize(QSize size) {
    designedSize_ = size;
    setFixedSize(size);
}

void TOKBottomDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only a shown dialog's layout counts its controls, which may have changed since.
    setFixedSize(designedSize_.expandedTo(minimumSizeHint()));
    const QScreen* screen = this->screen();
    if (screen == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
