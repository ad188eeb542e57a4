#include "transmit/can_message_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace {

constexpr QSize kClientSize{311, 241};
constexpr int kByteBoxChars = 3;

// Hexadecimal boxes are read one byte per character, so every typed character that is not a
// hex digit becomes exactly one "0".
std::string HexBoxText(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

void WriteKeepingCaret(QLineEdit* box, const std::string& value) {
    if (HexBoxText(box) == value) return;
    const QString text = QString::fromLatin1(value);
    const int caret = box->cursorPosition();
    box->setText(text);
    box->setCursorPosition(std::min<int>(caret, text.size()));
}

}  // namespace

TCANMessage::TCANMessage(QWidget* parent)
    : QDialog(parent),
      Bevel1(new QFrame(this)),
      OKBtn(new QPushButton("OK", this)),
      CancelBtn(new QPushButton("Cancel", this)),
      eID(new QLineEdit("00000000", this)),
      cbExtendedID(new QCheckBox("Extended ID", this)),
      cbDLC(new QComboBox(this)),
      cbRTR(new QCheckBox("RTR", this)),
      dataEdits{},
      tData1(new QLabel("Data : 0x", this)),
      tData2(new QLabel("Data : 0x", this)),
      eBigData(new QLineEdit("00000000", this)),
      eNote(new QPlainTextEdit("Note on function of this message", this)) {
    setWindowTitle("CAN Message");
    for (int i = 0; i < CanMessageModel::kMaxBytes; ++i) {
        dataEdits[i] = new QLineEdit("00", this);
        dataEdits[i]->setFixedWidth(
            dataEdits[i]->fontMetrics().horizontalAdvance(QString(kByteBoxChars, '0')) + 8);
    }
    for (int dlc = 0; dlc <= CanMessageModel::kMaxBytes; ++dlc)
        cbDLC->addItem(QString::number(dlc));
    cbDLC->setCurrentIndex(CanMessageModel::kMaxBytes);
    OKBtn->setDefault(true);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);

    eNote->setTabChangesFocus(true);  // a note is one line of the list: Tab moves on
    auto* StaticText1 = new QLabel("ID : 0x", this);
    auto* StaticText2 = new QLabel("DLC :", this);
    auto* StaticText5 = new QLabel("Note :", this);
    // Assistive technology names each input after its label.
    eID->setAccessibleName(StaticText1->text());
    cbDLC->setAccessibleName(StaticText2->text());
    for (int i = 0; i < CanMessageModel::kMaxBytes; ++i)
        dataEdits[i]->setAccessibleName(tData1->text() + " byte " + QString::number(i + 1));
    eBigData->setAccessibleName(tData2->text());
    eNote->setAccessibleName(StaticText5->text());

    auto* fields = new QGridLayout(Bevel1);
    fields->addWidget(StaticText1, 0, 0);
    fields->addWidget(eID, 0, 1);
    fields->addWidget(cbExtendedID, 0, 2);
    fields->addWidget(StaticText2, 1, 0);
    fields->addWidget(cbDLC, 1, 1, Qt::AlignLeft);
    fields->addWidget(cbRTR, 1, 2);
    auto* bytes = new QHBoxLayout;
    for (QLineEdit* box : dataEdits) bytes->addWidget(box);
    bytes->addStretch();
    fields->addWidget(tData1, 2, 0);
    fields->addLayout(bytes, 2, 1, 1, 2);
    fields->addWidget(tData2, 3, 0);
    fields->addWidget(eBigData, 3, 1, 1, 2);
    fields->addWidget(StaticText5, 4, 0, Qt::AlignTop);
    fields->addWidget(eNote, 4, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(kClientSize));
    std::vector<QWidget*> tabOrder{OKBtn, CancelBtn, eID, cbExtendedID, cbDLC, cbRTR};
    tabOrder.insert(tabOrder.end(), dataEdits.begin(), dataEdits.end());
    tabOrder.insert(tabOrder.end(), {eBigData, eNote});
    for (size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(eID, &QLineEdit::textChanged, this, &TCANMessage::eIDChange);
    connect(cbExtendedID, &QCheckBox::toggled, this, [this](bool on) { content_.extended = on; });
    connect(cbRTR, &QCheckBox::toggled, this, [this](bool on) { content_.rtr = on; });
    // Only the user's choice of a DLC runs the handler; a selection made from code does not.
    connect(cbDLC, &QComboBox::activated, this, [this] { SetupForm(cbDLC); });
    for (QLineEdit* box : dataEdits)
        connect(box, &QLineEdit::textChanged, this, [this, box] { SetupForm(box); });
    connect(eBigData, &QLineEdit::textChanged, this, [this] { SetupForm(eBigData); });
    connect(eNote, &QPlainTextEdit::textChanged, this, &TCANMessage::eNoteChange);
}

std::string TCANMessage::EditTxLine(const std::optional<std::string>& line) {
    content_.Load(line ? std::optional<std::string_view>(*line) : std::nullopt);
    ShowContent();
    if (exec() != QDialog::Accepted) return {};
    return content_.FormLine();
}

// Qt would centre a dialog on its parent window; this one belongs in the middle of the screen.
// Placed when shown: only then has the layout given the dialog its final size.
void TCANMessage::showEvent(QShowEvent* event) {
    CentreOnScreen();
    QDialog::showEvent(event);
}

void TCANMessage::CentreOnScreen() {
    const QScreen* at = parentWidget() != nullptr ? parentWidget()->screen() : screen();
    QRect frame = frameGeometry();
    frame.moveCenter(at->geometry().center());
    move(frame.topLeft());
}

void TCANMessage::SetupForm(QWidget* changed) {
    if (settingUp != 0) return;
    if (changed == eBigData) {
        content_.SetBigData(HexBoxText(eBigData));
    } else if (changed == cbDLC) {
        content_.SetDlc(cbDLC->currentIndex());
    } else {
        const auto box = std::find(dataEdits.begin(), dataEdits.end(), changed);
        content_.SetByte(static_cast<int>(box - dataEdits.begin()), HexBoxText(*box));
    }
    ShowContent();
}

void TCANMessage::eIDChange() {
    if (idChanging) return;
    idChanging = true;
    content_.SetId(HexBoxText(eID));
    WriteKeepingCaret(eID, content_.id);
    idChanging = false;
}

void TCANMessage::eNoteChange() {
    content_.SetNote(eNote->toPlainText().toStdString());
}

void TCANMessage::ShowContent() {
    ++settingUp;
    WriteKeepingCaret(eID, content_.id);
    cbExtendedID->setChecked(content_.extended);
    cbRTR->setChecked(content_.rtr);
    cbDLC->setCurrentIndex(content_.dlc);
    for (int i = 0; i < CanMessageModel::kMaxBytes; ++i) {
        WriteKeepingCaret(dataEdits[i], content_.data[i]);
        dataEdits[i]->setVisible(content_.ByteShown(i));
    }
    for (QWidget* control : {static_cast<QWidget*>(tData1), static_cast<QWidget*>(tData2),
                             static_cast<QWidget*>(eBigData)})
        control->setVisible(content_.DataRowShown());
    WriteKeepingCaret(eBigData, content_.bigData);
    const QString note = QString::fromStdString(content_.note);
    if (eNote->toPlainText() != note) eNote->setPlainText(note);
    --settingUp;
}
