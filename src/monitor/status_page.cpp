#include "monitor/status_page.h"

#include <QVBoxLayout>

StatusPage::StatusPage(ConfigRecord& config, SessionCommands& session, const FrameStore& frames,
                       QWidget* parent)
    : QWidget(parent),
      parameters_(new CanParametersGroup(config, session)),
      transmitData_(new TransmitDataGroup(session)),
      frameLog_(new FrameLogPanel(config, frames)) {
    auto* column = new QVBoxLayout(this);
    column->addWidget(parameters_);
    column->addWidget(transmitData_);
    column->addWidget(frameLog_, 1);
}
