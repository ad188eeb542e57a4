#include "monitor/status_page.h"

#include <QVBoxLayout>

#include "session/handle_can.h"

StatusPage::StatusPage(ConfigRecord& config, HandleCAN& session, QWidget* parent)
    : QWidget(parent),
      parameters_(new CanParametersGroup(config, session)),
      transmitData_(new TransmitDataGroup(session)),
      frameLog_(new FrameLogPanel(config, session.frames())) {
    auto* column = new QVBoxLayout(this);
    column->addWidget(parameters_);
    column->addWidget(transmitData_);
    column->addWidget(frameLog_, 1);
}
