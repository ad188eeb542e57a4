#include "app/connection_status_bar.h"

#include <QLabel>
#include <QStatusBar>

#include "session/frame_store.h"

namespace {

constexpr int kFieldPadding = 4;

QLabel* Field(QStatusBar& bar, const char* name) {
    auto* field = new QLabel;
    field->setObjectName(name);
    field->setContentsMargins(kFieldPadding, 0, kFieldPadding, 0);
    // Normal fields, not permanent ones: a passing message ("Saved 50000 frames to ...") takes
    // their place for its few seconds instead of getting no room beside them.
    bar.addWidget(field);
    return field;
}

const char* StateText(LinkStatus::State state) {
    switch (state) {
        case LinkStatus::State::Pending:
            return "Connecting";
        case LinkStatus::State::Connected:
            return "Connected";
        case LinkStatus::State::NoLink:
            break;
    }
    return "Not connected";
}

QString Rate(int32_t bitsPerSecond) {
    return QString::number(bitsPerSecond) + " bit/s";
}

}  // namespace

ConnectionStatusBar::ConnectionStatusBar(QStatusBar& bar)
    : bar_(bar),
      sConnection_(Field(bar, "sConnection")),
      sPort_(Field(bar, "sPort")),
      sBusRate_(Field(bar, "sBusRate")),
      sBusLoad_(Field(bar, "sBusLoad")),
      sFrames_(Field(bar, "sFrames")) {
    sBusLoad_->setToolTip(
        "Frames per second received / transmitted, and the bus load in percent of the CAN bus "
        "rate, over the last second (frame lengths with worst-case bit stuffing)");
    ShowStoredFrames(0);
}

void ConnectionStatusBar::Show(const LinkStatus& status) {
    sConnection_->setText(StateText(status.state));
    // A passing message of its own, so that the whole width tells it; another passing message
    // ("Saved ...") is left alone.
    const QString activity = QString::fromStdString(status.activity);
    if (activity != activity_) {
        if (!activity.isEmpty())
            bar_.showMessage(activity);
        else if (bar_.currentMessage() == activity_)
            bar_.clearMessage();
        activity_ = activity;
    }
    // The port's serial rate goes without its unit, so that the five fields fit the window's
    // designed width.
    sPort_->setText(status.portName.empty() ? QString("No port")
                                            : QString::fromStdString(status.portName) + " at " +
                                                  QString::number(status.baudRate));
    sBusRate_->setText("CAN " + Rate(status.busRate));
    sBusLoad_->setText(QString("RX/TX %1/%2 %3%")
                           .arg(status.busLoad.receivedPerSecond)
                           .arg(status.busLoad.transmittedPerSecond)
                           .arg(status.busLoad.loadPercent, 0, 'f', 1));
}

void ConnectionStatusBar::ShowStoredFrames(int count) {
    sFrames_->setText(QString("Frames %1 / %2").arg(count).arg(FrameStore::kLimit));
}
