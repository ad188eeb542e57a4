#include "app/config_comms.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr QSize kDesignedSize(368, 376);
constexpr std::array<int32_t, 6> kSerialRates = {2400, 9600, 19200, 38400, 57600, 115200};
constexpr std::array<const char*, 6> kSerialRateCaptions = {"&2400",  "&9600",  "192&00",
                                                            "&38400", "&57600", "&115200"};
constexpr int kDefaultRateItem = 5;
// Tight margins and spacing let three columns of COM items fit the designed width.
constexpr int kTightMargin = 2;
constexpr int kTightSpacing = 2;

// The rate item that shows `rate`; a rate that is not offered shows as the first item.
int SerialRateItem(int32_t rate) {
    for (size_t item = 1; item < kSerialRates.size(); ++item)
        if (kSerialRates[item] == rate) return static_cast<int>(item);
    return 0;
}

bool SameName(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

TConfigComms::TConfigComms(std::function<std::vector<std::string>()> enumComPorts, QWidget* parent)
    : TOKBottomDlg(parent),
      Communications(new QGroupBox(" Serial Port ")),
      SPRate(new QGroupBox("Serial Port Rate")),
      HelpBtn(new QPushButton("&Help")),
      enumComPorts_(std::move(enumComPorts)),
      ports_(new QButtonGroup(this)),
      rates_(new QButtonGroup(this)),
      portItems_(new QWidget),
      portScroller_(new QScrollArea) {
    setObjectName("ConfigComms");
    setWindowTitle("Configure Serial Communications");
    HelpBtn->setObjectName("HelpBtn");
    // OK and Cancel go to the right of the bottom row, Help to its left.
    delete buttonRow_->takeAt(buttonRow_->count() - 1);
    buttonRow_->insertWidget(0, HelpBtn);

    // The enumeration may find many ports: the port items scroll in their group, sideways too
    // when a long port name does not fit, so the dialog keeps its designed width.
    Communications->setObjectName("Communications");
    portScroller_->setFrameShape(QFrame::NoFrame);
    portScroller_->setWidgetResizable(true);
    portScroller_->setWidget(portItems_);
    auto* portsColumn = new QVBoxLayout(Communications);
    portsColumn->setContentsMargins(kTightMargin, kTightMargin, kTightMargin, kTightMargin);
    portsColumn->addWidget(portScroller_);

    SPRate->setObjectName("SPRate");
    auto* rateColumn = new QVBoxLayout(SPRate);
    for (size_t item = 0; item < kSerialRateCaptions.size(); ++item) {
        auto* button = new QRadioButton(kSerialRateCaptions[item]);
        rates_->addButton(button, static_cast<int>(item));
        rateColumn->addWidget(button);
    }
    rateColumn->addStretch();
    rates_->button(kDefaultRateItem)->setChecked(true);

    auto* row = new QHBoxLayout(Bevel1);
    row->setContentsMargins(kTightMargin, kTightMargin, kTightMargin, kTightMargin);
    row->setSpacing(kTightSpacing);
    layout()->setContentsMargins(kTightMargin, kTightMargin, kTightMargin, kTightMargin);
    row->addWidget(Communications, 1);
    row->addWidget(SPRate);
    SetDesignedSize(kDesignedSize);
}

void TConfigComms::ListPorts() {
    portNames_.clear();
    for (int number = 1; number <= kComItems; ++number)
        portNames_.push_back("COM" + std::to_string(number));
    for (std::string& name : enumComPorts_()) portNames_.push_back(std::move(name));

    // A fresh grid: a layout cannot shrink back by the rows of ports that went away.
    for (QAbstractButton* old : ports_->buttons()) delete old;
    delete portItems_->layout();
    auto* grid = new QGridLayout(portItems_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(kTightSpacing);
    grid->setVerticalSpacing(0);
    // Items fill the columns one after the other, as many in each as the first one needs.
    const int count = static_cast<int>(portNames_.size());
    const int perColumn = (count + kPortColumns - 1) / kPortColumns;
    for (int item = 0; item < count; ++item) {
        // A "&" in a port name is shown, not taken as an accelerator.
        const QString text = QString::fromStdString(portNames_[item]).replace("&", "&&");
        auto* button = new QRadioButton(text);
        ports_->addButton(button, item);
        grid->addWidget(button, item % perColumn, item / perColumn);
    }
}

void TConfigComms::SelectPort(const std::string& name) {
    for (size_t item = 0; item < portNames_.size(); ++item) {
        if (SameName(portNames_[item], name)) {
            ports_->button(static_cast<int>(item))->setChecked(true);
            return;
        }
    }
}

bool TConfigComms::EditPortSettings(std::string& portName, int32_t& baudRate) {
    HelpBtn->hide();
    // The ports of this moment, none of them selected yet.
    ListPorts();
    SelectPort(portName.empty() ? "COM1" : portName);
    rates_->button(SerialRateItem(baudRate))->setChecked(true);
    // The selected port is in view when the dialog opens, wherever it is in the list; sideways
    // the list moves no further than needed.
    if (QAbstractButton* selected = ports_->checkedButton())
        QTimer::singleShot(0, selected,
                           [this, selected] { portScroller_->ensureWidgetVisible(selected, 0); });
    if (exec() != QDialog::Accepted) return false;
    const int port = ports_->checkedId();
    portName = portNames_[port < 0 ? 0 : static_cast<size_t>(port)];
    baudRate = kSerialRates[static_cast<size_t>(rates_->checkedId())];
    return true;
}
