#include "transmit/transmit_list_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>
#include <utility>

#include "session/session_commands.h"
#include "transmit/can_message_dialog.h"

namespace {

constexpr int kPanelHeight = 65;
const char* const kGapChoices[] = {"1",    "10",   "20",   "50",    "100",   "500",
                                   "1000", "2000", "5000", "10000", "20000", "50000"};

}  // namespace

TransmitListPage::TransmitListPage(OnDemand<TCANMessage> canMessage, SessionCommands& session,
                                   QWidget* parent)
    : QWidget(parent),
      Panel2(new QWidget(this)),
      bTransmitAdd(new QPushButton("Add", Panel2)),
      bEdit(new QPushButton("Edit Line", Panel2)),
      bDelete(new QPushButton("Delete Line", Panel2)),
      bTransmitLine(new QPushButton("Transmit Line", Panel2)),
      bTransmitAll(new QPushButton("Transmit All", Panel2)),
      StaticText4(new QLabel("Gap (mS)", Panel2)),
      cbGap(new QComboBox(Panel2)),
      cbLoopMsgs(new QCheckBox("Loop Msgs", Panel2)),
      eTxList(new QPlainTextEdit(this)),
      mTransmitList(new QMenu(this)),
      canMessage_(std::move(canMessage)),
      runner_({
          [this] { return TxLineCount(); },
          [this](int index) { return TxLine(index); },
          [this] { return cbLoopMsgs->isChecked(); },
          [&session](const CANBuffer& record, bool ack) { session.TransmitFrame(record, ack); },
          [this](bool running) { emit transmittingChanged(running); },
          [&session](const CANBuffer& record, bool ack) {
              return session.RoomToTransmit(record, ack);
          },
      }) {
    const std::pair<QObject*, const char*> names[] = {{Panel2, "Panel2"},
                                                      {bTransmitAdd, "bTransmitAdd"},
                                                      {bEdit, "bEdit"},
                                                      {bDelete, "bDelete"},
                                                      {bTransmitLine, "bTransmitLine"},
                                                      {bTransmitAll, "bTransmitAll"},
                                                      {StaticText4, "StaticText4"},
                                                      {cbGap, "cbGap"},
                                                      {cbLoopMsgs, "cbLoopMsgs"},
                                                      {eTxList, "eTxList"},
                                                      {mTransmitList, "mTransmitList"}};
    for (const auto& [control, name] : names) control->setObjectName(name);
    cbGap->setEditable(true);
    cbGap->setInsertPolicy(QComboBox::NoInsert);  // the items stay the fixed choices
    // What is typed is the gap: inline completion would turn a typed 5 into 50.
    cbGap->setCompleter(nullptr);
    for (const char* gap : kGapChoices) cbGap->addItem(gap);
    cbGap->setCurrentIndex(0);
    // Assistive technology names each input after its label; the list after its tab.
    cbGap->setAccessibleName(StaticText4->text());
    eTxList->setAccessibleName("Transmit List");
    eTxList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    eTxList->setLineWrapMode(QPlainTextEdit::NoWrap);

    Panel2->setFixedHeight(kPanelHeight);
    auto* gap = new QVBoxLayout;
    gap->addWidget(StaticText4);
    gap->addWidget(cbGap);
    auto* panel = new QHBoxLayout(Panel2);
    for (QPushButton* button : {bTransmitAdd, bEdit, bDelete, bTransmitLine, bTransmitAll})
        panel->addWidget(button);
    panel->addLayout(gap);
    panel->addWidget(cbLoopMsgs);
    panel->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel2);
    layout->addWidget(eTxList, 1);

    connect(bTransmitAdd, &QPushButton::clicked, this, &TransmitListPage::bTransmitAddClick);
    connect(bEdit, &QPushButton::clicked, this, &TransmitListPage::bEditClick);
    connect(bDelete, &QPushButton::clicked, this, &TransmitListPage::bDeleteClick);
    connect(bTransmitLine, &QPushButton::clicked, this, &TransmitListPage::bTransmitLineClick);
    connect(bTransmitAll, &QPushButton::clicked, this, &TransmitListPage::bTransmitAllClick);
    BuildContextMenu();
}

void TransmitListPage::BuildContextMenu() {
    mTransmitList->addAction("&Add Line", this, &TransmitListPage::bTransmitAddClick);
    mTransmitList->addAction("&Delete Line", this, &TransmitListPage::bDeleteClick);
    mTransmitList->addSeparator();
    mTransmitList->addAction("&Transmit Line", this, &TransmitListPage::bTransmitLineClick);
    mTransmitList->addAction("&Transmit All Lines", this, &TransmitListPage::bTransmitAllClick);
    mTransmitList->addSeparator();
    mTransmitList->addAction("&Cut", this, &TransmitListPage::Cut1Click)
        ->setShortcut(QKeySequence::Cut);
    mTransmitList->addAction("Co&py", this, &TransmitListPage::Copy1Click)
        ->setShortcut(QKeySequence::Copy);
    mTransmitList->addAction("Pa&ste", this, &TransmitListPage::Paste1Click)
        ->setShortcut(QKeySequence::Paste);
    eTxList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(eTxList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        mTransmitList->popup(eTxList->viewport()->mapToGlobal(at));
    });
}

int TransmitListPage::TxLineCount() const {
    const QTextDocument* list = eTxList->document();
    const int blocks = list->blockCount();
    return list->lastBlock().text().isEmpty() ? blocks - 1 : blocks;
}

std::string TransmitListPage::TxLine(int index) const {
    if (index < 0 || index >= TxLineCount()) return {};
    return eTxList->document()->findBlockByNumber(index).text().toStdString();
}

void TransmitListPage::AppendTxLine(const std::string& line) {
    QTextCursor cursor(eTxList->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty()) cursor.insertBlock();
    cursor.insertText(QString::fromStdString(line));
}

int TransmitListPage::CurrentLine() const {
    const int caret = eTxList->textCursor().selectionStart();
    return eTxList->document()->findBlock(caret).blockNumber();
}

int TransmitListPage::GapIndex() const {
    return cbGap->findText(cbGap->currentText());
}

std::vector<std::string> TransmitListPage::TxLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < TxLineCount(); ++i)
        lines.push_back(txLineBytes_.Encode(QString::fromStdString(TxLine(i))));
    return lines;
}

void TransmitListPage::SetTxLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) text << txLineBytes_.Decode(line);
    eTxList->setPlainText(text.join('\n'));
}

int TransmitListPage::SelectedGap() const {
    return cbGap->currentIndex();
}

void TransmitListPage::SelectGap(int index) {
    cbGap->setCurrentIndex(index);
}

void TransmitListPage::ReplaceLine(int index, const std::string& line) {
    QTextCursor cursor(eTxList->document()->findBlockByNumber(index));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(QString::fromStdString(line));
}

void TransmitListPage::DeleteLine(int index) {
    const QTextBlock line = eTxList->document()->findBlockByNumber(index);
    QTextCursor cursor(line);
    if (line.next().isValid()) {
        cursor.setPosition(line.next().position(), QTextCursor::KeepAnchor);
    } else {
        // The last line takes the line break before it along.
        cursor.setPosition(std::max(line.position() - 1, 0));
        cursor.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void TransmitListPage::bTransmitAddClick() {
    const std::string line = canMessage_->EditTxLine(std::nullopt);
    if (!line.empty()) AppendTxLine(line);
}

void TransmitListPage::bEditClick() {
    if (TxLineCount() == 0) return;
    const int index = CurrentLine();
    if (index < 0) return;
    const std::string line = canMessage_->EditTxLine(TxLine(index));
    if (!line.empty()) ReplaceLine(index, line);
}

void TransmitListPage::bDeleteClick() {
    const int index = CurrentLine();
    if (index >= 0 && index < TxLineCount()) DeleteLine(index);
}

void TransmitListPage::bTransmitLineClick() {
    if (TxLineCount() > 0) runner_.TransmitTxLine(CurrentLine(), true);
}

void TransmitListPage::bTransmitAllClick() {
    runner_.TransmitAll(TxGapFromText(cbGap->currentText().toStdString()));
}

void TransmitListPage::Cut1Click() {
    eTxList->cut();
}

void TransmitListPage::Copy1Click() {
    eTxList->copy();
}

void TransmitListPage::Paste1Click() {
    eTxList->paste();
}
