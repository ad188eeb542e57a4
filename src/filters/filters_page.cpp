#include "filters/filters_page.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

#include "filters/set_filter_dialog.h"
#include "session/session_commands.h"

namespace {

constexpr int kDialogOffset = 16;

const char* const kMaskNote =
    "Note : \n"
    "Fast Filter 0 and 1 share mask 0\n"
    "Fast Filter 2 to 5 share mask 2";

}  // namespace

FiltersPage::FiltersPage(ConfigRecord& config, OnDemand<TSetFilter> setFilter,
                         SessionCommands& session, QWidget* parent)
    : QWidget(parent),
      bFAdd(new QPushButton("Add", this)),
      bFDelete(new QPushButton("Delete", this)),
      bFEdit(new QPushButton("Edit", this)),
      bFUp(new QPushButton("Move Up", this)),
      bFDown(new QPushButton("Move Dn", this)),
      Memo1(new QPlainTextEdit(kMaskNote, this)),
      lFilter(new QListWidget(this)),
      table_(config),
      setFilter_(std::move(setFilter)),
      session_(session) {
    const std::pair<QWidget*, const char*> names[] = {
        {bFAdd, "bFAdd"},   {bFDelete, "bFDelete"}, {bFEdit, "bFEdit"},  {bFUp, "bFUp"},
        {bFDown, "bFDown"}, {Memo1, "Memo1"},       {lFilter, "lFilter"}};
    for (const auto& [widget, name] : names) widget->setObjectName(name);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 4);
    lFilter->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lFilter->setSelectionMode(QAbstractItemView::SingleSelection);
    lFilter->setAccessibleName("Filters");
    Memo1->setAccessibleName("Mask Note");

    auto* panel = new QHBoxLayout;
    for (QPushButton* button : {bFAdd, bFDelete, bFEdit, bFUp, bFDown}) panel->addWidget(button);
    panel->addWidget(Memo1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panel);
    layout->addWidget(lFilter, 1);

    connect(bFAdd, &QPushButton::clicked, this, &FiltersPage::bFAddClick);
    connect(bFDelete, &QPushButton::clicked, this, &FiltersPage::bFDeleteClick);
    connect(bFEdit, &QPushButton::clicked, this, &FiltersPage::bFEditClick);
    connect(bFUp, &QPushButton::clicked, this, &FiltersPage::bFUpClick);
    connect(bFDown, &QPushButton::clicked, this, &FiltersPage::bFDownClick);
    connect(lFilter, &QListWidget::itemSelectionChanged, this, &FiltersPage::lFilterClick);
    connect(lFilter, &QListWidget::itemDoubleClicked, this, &FiltersPage::bFEditClick);
}

void FiltersPage::RedrawFilterList() {
    {
        const QSignalBlocker quiet(lFilter);
        lFilter->clear();
        for (const std::string& line : table_.ListLines())
            lFilter->addItem(QString::fromStdString(line));
    }
    session_.SendSetupAndFilters(false);
}

void FiltersPage::UpdateFilterButtons() {
    const int selected = SelectedIndex();
    bFAdd->setEnabled(table_.CanAdd());
    bFDelete->setEnabled(selected >= 0);
    bFEdit->setEnabled(selected >= 0);
    bFUp->setEnabled(selected >= 1);
    bFDown->setEnabled(selected >= 0 && selected < table_.Count() - 1);
}

int FiltersPage::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = lFilter->selectedItems();
    return selected.isEmpty() ? -1 : lFilter->row(selected.front());
}

void FiltersPage::bFAddClick() {
    if (!table_.Add(DialogEditor())) return;
    RedrawFilterList();
    emit filtersChanged();
}

void FiltersPage::bFDeleteClick() {
    if (!table_.Delete(SelectedIndex())) return;
    RedrawFilterList();
    emit filtersChanged();
}

void FiltersPage::bFEditClick() {
    if (table_.Edit(SelectedIndex(), DialogEditor())) RedrawFilterList();
}

void FiltersPage::bFUpClick() {
    const int selected = SelectedIndex();
    if (table_.MoveUp(selected)) SelectAfterMove(selected - 1);
}

void FiltersPage::bFDownClick() {
    const int selected = SelectedIndex();
    if (table_.MoveDown(selected)) SelectAfterMove(selected + 1);
}

void FiltersPage::lFilterClick() {
    emit filtersChanged();
}

FilterEditor FiltersPage::DialogEditor() {
    return [this](FilterEntry& entry, bool maskEditable, int number) {
        const QPoint place =
            window()->pos() + lFilter->pos() + QPoint(kDialogOffset, kDialogOffset);
        return setFilter_->EditFilter(entry, maskEditable, number, place);
    };
}

void FiltersPage::SelectAfterMove(int index) {
    RedrawFilterList();
    {
        const QSignalBlocker quiet(lFilter);
        lFilter->setCurrentRow(index);
    }
    emit filtersChanged();
}
