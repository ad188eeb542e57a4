#include "views/frame_range_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "common/buddy_label.h"
#include "common/text.h"
#include "session/frame_store.h"
#include "views/frame_search.h"
#include "views/frame_store_model.h"
#include "views/named_widget.h"

FrameRangeWindow::FrameRangeWindow(const FrameStore& store, QWidget* parent)
    : QWidget(parent),
      eGoTo(Named(new QLineEdit, "eGoTo")),
      cbFindField(Named(new QComboBox, "cbFindField")),
      eFind(Named(new QLineEdit, "eFind")),
      bFindNext(Named(new QPushButton("Find &Next"), "bFindNext")),
      bFindPrevious(Named(new QPushButton("Find &Previous"), "bFindPrevious")),
      bCopy(Named(new QPushButton("&Copy"), "bCopy")),
      cbFollow(Named(new QCheckBox("&Follow"), "cbFollow")),
      lResult(Named(new QLabel, "lResult")),
      table(Named(new QTableView, "tFrames")),
      store_(store),
      model_(new FrameStoreModel(store, this)),
      syncTimer_(new QTimer(this)) {
    setWindowFlag(Qt::Window);
    setWindowTitle("Message Range");
    eGoTo->setPlaceholderText("sequence");
    eGoTo->setMaximumWidth(90);
    cbFindField->addItems({"Identifier", "Data"});
    eFind->setPlaceholderText("18EF2000 or 55 AA");
    auto* controls = new QHBoxLayout;
    controls->addWidget(BuddyLabel("Go to", eGoTo));
    controls->addWidget(eGoTo);
    controls->addWidget(BuddyLabel("Find", eFind));
    controls->addWidget(cbFindField);
    controls->addWidget(eFind, 1);
    controls->addWidget(bFindPrevious);
    controls->addWidget(bFindNext);
    controls->addWidget(bCopy);
    controls->addWidget(cbFollow);

    cbFindField->setAccessibleName("Find in");
    table->setAccessibleName("Stored frames");
    table->setModel(model_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    // Rows of one height: the view never measures 50,000 rows to scroll.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    QFont fixed("monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    table->setFont(fixed);
    const int digit = QFontMetrics(fixed).horizontalAdvance('0');
    const int widths[] = {8, 15, 5, 3, 12, 7};
    for (int column = 0; column < static_cast<int>(std::size(widths)); ++column)
        table->setColumnWidth(column, widths[column] * digit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(table, 1);
    layout->addWidget(lResult);
    resize(760, 520);

    connect(eGoTo, &QLineEdit::returnPressed, this, &FrameRangeWindow::GoToClick);
    connect(eFind, &QLineEdit::returnPressed, this, [this] { FindClick(true); });
    connect(bFindNext, &QPushButton::clicked, this, [this] { FindClick(true); });
    connect(bFindPrevious, &QPushButton::clicked, this, [this] { FindClick(false); });
    connect(bCopy, &QPushButton::clicked, this, &FrameRangeWindow::CopyClick);
    auto* copy = new QShortcut(QKeySequence::Copy, table);
    connect(copy, &QShortcut::activated, this, &FrameRangeWindow::CopyClick);
    connect(cbFollow, &QCheckBox::toggled, this, [this](bool follow) {
        if (follow) table->scrollToBottom();
    });
    connect(syncTimer_, &QTimer::timeout, this, [this] {
        if (isVisible()) Sync();
    });
    syncTimer_->start(kSyncMs);
}

void FrameRangeWindow::Sync() {
    if (model_->Sync() && cbFollow->isChecked()) table->scrollToBottom();
    lResult->setText(QString("%1 frames stored").arg(model_->rowCount()));
}

void FrameRangeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Sync();
}

void FrameRangeWindow::SelectRow(size_t row) {
    cbFollow->setChecked(false);  // the user looks at this row now
    const QModelIndex index = model_->index(static_cast<int>(row), 0);
    table->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FrameRangeWindow::GoToClick() {
    Sync();
    const std::string text = eGoTo->text().trimmed().toStdString();
    const std::optional<size_t> row =
        text.empty() ? std::nullopt : FindSequence(store_, ParseDecimal(text));
    if (row && *row < static_cast<size_t>(model_->rowCount()))
        SelectRow(*row);
    else
        lResult->setText("No frame with sequence number " + eGoTo->text().trimmed());
}

void FrameRangeWindow::FindClick(bool forward) {
    Sync();
    const auto field =
        cbFindField->currentIndex() == 0 ? FrameQuery::Field::Identifier : FrameQuery::Field::Data;
    const std::optional<FrameQuery> query = FrameQuery::Parse(field, eFind->text().toStdString());
    if (!query) {
        lResult->setText(field == FrameQuery::Field::Identifier
                             ? "Find: an identifier is up to eight hex digits"
                             : "Find: data is hex bytes such as 55 AA");
        return;
    }
    const QModelIndex current = table->currentIndex();
    const std::ptrdiff_t from =
        current.isValid() ? current.row() : (forward ? -1 : model_->rowCount());
    const std::optional<size_t> row = FindFrame(store_, *query, from, forward);
    if (row && *row < static_cast<size_t>(model_->rowCount()))
        SelectRow(*row);
    else
        lResult->setText(forward ? "Not found after this row" : "Not found before this row");
}

void FrameRangeWindow::CopyClick() {
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows << index.row();
    if (!rows.empty()) QApplication::clipboard()->setText(model_->LogLines(rows));
}
