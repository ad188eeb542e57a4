#include "monitor/frame_log_panel.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "common/buddy_label.h"
#include "common/checked_box.h"
#include "config/config_record.h"
#include "monitor/frame_line.h"
#include "session/frame_store.h"

namespace {

QLineEdit* CounterBox(const char* name) {
    auto* box = new QLineEdit("0");
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setMaximumWidth(90);
    return box;
}

}  // namespace

FrameLogPanel::FrameLogPanel(ConfigRecord& config, const FrameStore& store, QWidget* parent)
    : QWidget(parent),
      config_(config),
      store_(store),
      eReceived_(CounterBox("eReceived")),
      eTransmitted_(CounterBox("eTransmitted")),
      tMissedPackets_(new QLabel("Packets Missed")),
      cbDynamicDisplay_(CheckedBox("cbDynamicDisplay", "Dynamic Display :")),
      cbShowTx_(CheckedBox("cbShowTx", "Show Tx")),
      cbShowRx_(CheckedBox("cbShowRx", "Show Rx")),
      frameList_(new QPlainTextEdit) {
    tMissedPackets_->setObjectName("tMissedPackets");
    tMissedPackets_->setStyleSheet("color: red; font-weight: bold;");
    // Blinking must not move the other controls of its row.
    QSizePolicy keepsItsPlace = tMissedPackets_->sizePolicy();
    keepsItsPlace.setRetainSizeWhenHidden(true);
    tMissedPackets_->setSizePolicy(keepsItsPlace);

    frameList_->setObjectName("FrameList");
    frameList_->setAccessibleName("Message Log");
    frameList_->setReadOnly(true);
    frameList_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    frameList_->setLineWrapMode(QPlainTextEdit::NoWrap);
    frameList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    frameList_->setMaximumBlockCount(kMaxLogLines);
    KeepFollowingTheEnd();

    // Counters and options take two lines: in one they would need more than the window's
    // designed width.
    auto* counters = new QHBoxLayout;
    counters->addWidget(BuddyLabel("Received : ", eReceived_));
    counters->addWidget(eReceived_);
    counters->addWidget(BuddyLabel("Transmitted :", eTransmitted_));
    counters->addWidget(eTransmitted_);
    counters->addWidget(tMissedPackets_);
    counters->addStretch();
    auto* options = new QHBoxLayout;
    options->addWidget(cbDynamicDisplay_);
    options->addWidget(cbShowTx_);
    options->addWidget(cbShowRx_);
    options->addStretch();
    auto* group = new QGroupBox(" CAN Data ");
    auto* lines = new QVBoxLayout(group);
    lines->addLayout(counters);
    lines->addLayout(options);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(group);
    column->addWidget(frameList_, 1);

    connect(cbDynamicDisplay_, &QCheckBox::toggled, this, &FrameLogPanel::cbDynamicDisplayClick);
}

void FrameLogPanel::KeepFollowingTheEnd() {
    // The log follows new lines only while its view is at the end; a smaller window enlarges
    // the scroll range and would otherwise leave a following view behind the end.
    QScrollBar* bar = frameList_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { followingEnd_ = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (followingEnd_) bar->setValue(maximum);
    });
}

void FrameLogPanel::ShowFrame(const CANBuffer& record) {
    const LogThrottle::Outcome outcome =
        throttle_.Received(record.FramesLost(), config_.dynamicDisplay != 0);
    if (record.FramesLost()) tMissedPackets_->setVisible(throttle_.missedVisible());
    ApplyOutcome(outcome, false, record);
}

void FrameLogPanel::ShowSentFrame(const CANBuffer& record) {
    const LogThrottle::Outcome outcome = throttle_.Sent(config_.dynamicDisplay != 0);
    ApplyOutcome(outcome, true, record);
}

void FrameLogPanel::ApplyOutcome(LogThrottle::Outcome outcome, bool transmitted,
                                 const CANBuffer& record) {
    if (outcome.writeCounter && transmitted) ShowTransmittedCount();
    if (outcome.writeCounter && !transmitted) ShowReceivedCount();
    if (outcome.line == LogThrottle::Line::Frame) AddFrameLine(record, transmitted);
    if (outcome.line == LogThrottle::Line::Ellipsis) AddLine(kEllipsisLine);
}

void FrameLogPanel::AddFrameLine(const CANBuffer& record, bool transmitted) {
    const QCheckBox* shown = transmitted ? cbShowTx_ : cbShowRx_;
    if (shown->isChecked()) AddLine(FormatFrameLine(record, transmitted));
}

void FrameLogPanel::ListFrames(size_t from, size_t to) {
    if (store_.Empty()) return;
    frameList_->clear();
    const size_t end = std::min(to, store_.Size());
    for (size_t i = from; i < end; ++i) AddFrameLine(store_[i], false);
}

void FrameLogPanel::OnSecondTimer() {
    if (throttle_.Tick()) {
        ShowReceivedCount();
        ShowTransmittedCount();
    }
    tMissedPackets_->setVisible(throttle_.missedVisible());
}

void FrameLogPanel::AddLine(const std::string& line) {
    frameList_->appendPlainText(
        QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

void FrameLogPanel::ClearLog() {
    frameList_->clear();
}

void FrameLogPanel::ResetCounters() {
    throttle_.ResetCounters();
    ShowReceivedCount();
    ShowTransmittedCount();
}

void FrameLogPanel::ShowReceivedCount() {
    eReceived_->setText(QString::number(throttle_.receivedCount()));
    emit receivedCountShown(throttle_.receivedCount());
}

void FrameLogPanel::ShowTransmittedCount() {
    eTransmitted_->setText(QString::number(throttle_.transmittedCount()));
}

void FrameLogPanel::HideMissedPackets() {
    tMissedPackets_->hide();
}

void FrameLogPanel::cbDynamicDisplayClick() {
    const QTextDocument* log = frameList_->document();
    if (log->blockCount() == 1 && log->toPlainText() == QLatin1String(kHintLine))
        frameList_->clear();
    config_.dynamicDisplay = cbDynamicDisplay_->isChecked() ? 1 : 0;
    emit dynamicDisplayChanged();
}

void FrameLogPanel::tbClearListClick() {
    frameList_->clear();
    // Checking the box runs its handler, which turns dynamic display on; when it is already
    // checked, nothing changes.
    cbDynamicDisplay_->setChecked(true);
}

void FrameLogPanel::ShowDisplayOptions(bool dynamicDisplay) {
    cbShowTx_->setEnabled(dynamicDisplay);
    cbShowRx_->setEnabled(dynamicDisplay);
    cbDynamicDisplay_->setChecked(dynamicDisplay);
}
