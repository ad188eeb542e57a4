#include "views/identifier_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "common/buddy_label.h"
#include "common/ticks.h"
#include "views/cell_text_delegate.h"
#include "views/identifier_table_model.h"
#include "views/named_widget.h"

namespace {

const QColor kInvalidFilter(255, 200, 200);

}  // namespace

IdentifierPage::IdentifierPage(const FrameStore& store, QWidget* parent)
    : QWidget(parent),
      eFilter(Named(new QLineEdit, "eIdFilter")),
      cbPause(Named(new QCheckBox("Pause"), "cbIdPause")),
      bClear(Named(new QPushButton("Clear"), "bIdClear")),
      bFromStore(Named(new QPushButton("From Stored Frames"), "bIdFromStore")),
      table(Named(new QTableView, "tIdentifiers")),
      store_(store),
      model_(new IdentifierTableModel(stats_, this)),
      redrawTimer_(new QTimer(this)) {
    eFilter->setPlaceholderText("hex prefix (18EF) or range (100-1FF)");
    eFilter->setToolTip("Identifiers shown: a hex prefix, a range such as 100-1FF, or all");
    auto* controls = new QHBoxLayout;
    controls->addWidget(BuddyLabel("Identifier", eFilter));
    controls->addWidget(eFilter, 1);
    controls->addWidget(cbPause);
    controls->addWidget(bClear);
    controls->addWidget(bFromStore);
    table->setAccessibleName("Frames by Identifier");
    table->setModel(model_);
    table->setItemDelegate(new CellTextDelegate(table));
    table->setSortingEnabled(true);
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // Room for the widest value of each column, in digits.
    const int digit = table->fontMetrics().horizontalAdvance('0');
    const int widths[IdentifierTableModel::kColumns] = {12, 5, 5, 4, 4,  4,  4,  4,
                                                        4,  4, 4, 9, 10, 13, 13, 13};
    for (int column = 0; column < IdentifierTableModel::kColumns; ++column)
        table->setColumnWidth(column, widths[column] * digit);
    resize(120 * digit, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(table, 1);

    connect(eFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        const IdentifierFilter filter(text.toStdString());
        QPalette palette = eFilter->palette();
        palette.setColor(QPalette::Base,
                         filter.Valid() ? QPalette().color(QPalette::Base) : kInvalidFilter);
        eFilter->setPalette(palette);
        model_->SetFilter(filter);
    });
    connect(bClear, &QPushButton::clicked, this, [this] {
        stats_.Clear();
        Redraw();
    });
    connect(bFromStore, &QPushButton::clicked, this, &IdentifierPage::RebuildFromStore);
    connect(cbPause, &QCheckBox::toggled, this, [this](bool paused) {
        if (!paused) Redraw();
    });
    connect(redrawTimer_, &QTimer::timeout, this, [this] {
        // Also on a quiet bus: the time since last seen and the changed bytes move on.
        if (isVisible() && !cbPause->isChecked()) Redraw();
    });
    redrawTimer_->start(kRedrawMs);
}

void IdentifierPage::AddFrame(const CANBuffer& record, uint64_t arrivalMs) {
    stats_.Add(record, arrivalMs);
}

void IdentifierPage::RebuildFromStore() {
    stats_.Rebuild(store_, TickCount());
    Redraw();
}

void IdentifierPage::Redraw() {
    model_->Refresh(stats_.DeviceNow(TickCount()));
}

void IdentifierPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Redraw();
}
