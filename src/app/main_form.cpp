#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cstdio>

#include "app/config_comms.h"
#include "app/connection_status_bar.h"
#include "app/platform_paths.h"
#include "common/replace_file.h"
#include "common/ticks.h"
#include "common/user_messages.h"
#include "config/config_file.h"
#include "config/config_record.h"
#include "filters/filters_page.h"
#include "filters/set_filter_dialog.h"
#include "monitor/status_page.h"
#include "motor/motor_page.h"
#include "session/connection_steps.h"
#include "session/handle_can.h"
#include "transmit/can_message_dialog.h"
#include "transmit/transmit_list_page.h"
#include "views/frame_range_window.h"
#include "views/identifier_page.h"

namespace {

constexpr int kDesignedWidth = 642;
constexpr int kDesignedHeight = 557;
// The window manager frames a newly shown window within this time.
constexpr int kFramedWithinMs = 300;

// Gives a page its place among the tabs, named as the window knows it.
template <typename Page>
Page* Named(Page* page, const char* name) {
    page->setObjectName(name);
    return page;
}

// Shows a window of its own in front.
void Raise(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

TMainForm::TMainForm(MainFormServices services, QWidget* parent)
    : QMainWindow(parent),
      comPort_(services.comPort),
      messages_(services.messages),
      config_(services.config),
      enumComPorts_(std::move(services.enumComPorts)),
      configPath_(std::move(services.configPath)),
      programFolder_(ProgramFolder()),
      viewers_(std::move(services.viewers)),
      session_(std::make_unique<HandleCAN>(*this, messages_, config_)),
      setFilter_([this] { return new TSetFilter(this); }),
      canMessage_([this] { return new TCANMessage(this); }),
      configComms_([this] { return new TConfigComms(enumComPorts_, this); }),
      identifierPage_([this] {
          auto* page = Named(new IdentifierPage(session_->frames(), this), "IdentifierWindow");
          page->setWindowFlag(Qt::Window);
          page->setWindowTitle("Frames by Identifier");
          return page;
      }),
      frameRangeWindow_([this] {
          return Named(new FrameRangeWindow(session_->frames(), this), "MessageRange");
      }) {
    setObjectName("MainForm");
    setWindowTitle("MainForm");
    resize(kDesignedWidth, kDesignedHeight);
    actions_ = CreateMainFormActions(*this);
    statusBar_ = std::make_unique<ConnectionStatusBar>(*statusBar());
    CreatePages();
    ConnectCommands();
    CreateConnectionSteps(services.makeProbePort);
    comPort_.onRxChar = [this](int reported) { OnBytesReceived(reported); };
    comPort_.onError = [this](SerialPortDevice::ErrorKind error) { ComPort1Error(error); };
}

TMainForm::~TMainForm() {
    DisconnectClick();
    comPort_.onRxChar = nullptr;
    comPort_.onError = nullptr;
}

void TMainForm::CreatePages() {
    Tabs_ = Named(new QTabWidget, "Tabs");
    statusPage_ = Named(new StatusPage(config_, *session_, session_->frames()), "tabStatus");
    filtersPage_ = Named(new FiltersPage(config_, setFilter_, *session_), "tabFilters");
    transmitListPage_ = Named(new TransmitListPage(canMessage_, *session_), "tabTransmitList");
    tabMotor_ = Named(new MotorPage(*session_), "tabMotor");
    Tabs_->addTab(statusPage_, "Status");
    Tabs_->addTab(filtersPage_, "Filters");
    Tabs_->addTab(transmitListPage_, "Transmit List");
    Tabs_->addTab(tabMotor_, "Motor");
    setCentralWidget(Tabs_);
}

void TMainForm::ConnectCommands() {
    const MainFormActions& a = actions_;
    FrameLogPanel& log = statusPage_->frameLog();
    connect(a.tbConnect, &QAction::triggered, this, &TMainForm::tbConnectClick);
    connect(a.tbResetAll, &QAction::triggered, this, &TMainForm::tbResetAllClick);
    for (QAction* reset : {a.tbClearBuffer, a.ResetLog1})
        connect(reset, &QAction::triggered, this, &TMainForm::ResetLog1Click);
    for (QAction* save : {a.tbSaveBuffer, a.SaveMessageLog1})
        connect(save, &QAction::triggered, this, &TMainForm::tbSaveBufferClick);
    connect(a.OpenLog1, &QAction::triggered, this, &TMainForm::OpenLog1Click);
    connect(a.SaveConfiguration1, &QAction::triggered, this, &TMainForm::SaveConfiguration1Click);
    connect(a.LoadConfiguration1, &QAction::triggered, this, &TMainForm::LoadConfiguration1Click);
    connect(a.tbClearList, &QAction::triggered, &log, &FrameLogPanel::tbClearListClick);
    for (QAction* listing : {a.tbList1000, a.ShowFirst1000messages1})
        connect(listing, &QAction::triggered, this, &TMainForm::ShowFirst1000messages1Click);
    for (QAction* sending : {a.tbTransmit, a.TransmitFrame1})
        connect(sending, &QAction::triggered, statusPage_, &StatusPage::TransmitFrame1Click);
    // Every change of the button's state counts, not only a click: an assistive tool's Toggle
    // changes it without one. A state set from code to match lcdOn changes nothing.
    connect(a.tbDisplayMonitor, &QAction::toggled, this, [this](bool pressed) {
        if (pressed != (config_.lcdOn != 0)) tbDisplayMonitorClick();
    });
    connect(a.bStopTx, &QAction::triggered, this, &TMainForm::bStopTxClick);
    connect(a.AutoDetect1, &QAction::triggered, this, &TMainForm::AutoDetect1Click);
    connect(a.Exit1, &QAction::triggered, this, [this] { SetupComPort(true); });
    connect(a.Connect1, &QAction::triggered, this, &TMainForm::Connect1Click);
    connect(a.Disconnect1, &QAction::triggered, this, &TMainForm::DisconnectClick);
    connect(a.Exit2, &QAction::triggered, this, &TMainForm::Exit2Click);
    connect(a.DebugTest1, &QAction::triggered, this, &TMainForm::DebugTest1Click);
    connect(a.Rx100IdenticalTestMessages1, &QAction::triggered, this,
            &TMainForm::Rx100IdenticalTestMessages1Click);
    connect(a.Receive100randommessages1, &QAction::triggered, this,
            &TMainForm::Receive100randommessages1Click);
    connect(a.Manual1, &QAction::triggered, this, &TMainForm::Manual1Click);
    connect(a.About1, &QAction::triggered, this, &TMainForm::About1Click);
    connect(a.ShowMessageRange1, &QAction::triggered, this, &TMainForm::ShowMessageRange1Click);
    connect(a.FramesByIdentifier1, &QAction::triggered, this, &TMainForm::FramesByIdentifier1Click);
    connect(a.DisplayDynamically1, &QAction::triggered, this, &TMainForm::DisplayDynamically1Click);
    connect(&log, &FrameLogPanel::dynamicDisplayChanged, this, &TMainForm::UpdateControls);
    connect(filtersPage_, &FiltersPage::filtersChanged, this, &TMainForm::UpdateControls);
    connect(transmitListPage_, &TransmitListPage::transmittingChanged, a.bStopTx,
            &QAction::setVisible);
    // Every received frame is stored, so the Received counter is also the store's fill.
    connect(&log, &FrameLogPanel::receivedCountShown, this,
            [this](int count) { statusBar_->ShowStoredFrames(count); });
    connect(Tabs_, &QTabWidget::currentChanged, this, &TMainForm::TabsEnter);
}

void TMainForm::FormCreate() {
    statusPage_->frameLog().ClearLog();
    RemoveLeftoverTemporaries(configPath_);
    std::string failure;
    std::string problem;
    if (!LoadConfig(configPath_, config_, Controls(), &failure)) {
        keepUnreadSettings_ = true;
        problem = "Settings could not be read\n" + configPath_ + "\n" + failure +
                  "\n\nThe program starts with the default settings and will not save over "
                  "this file.";
    }
    CentreOnScreen();
    // Boxes and the device's waits come once the window is shown.
    startUpPending_ = true;
    QTimer::singleShot(0, this, [this, problem] {
        if (!problem.empty()) TellSettingsProblem(problem, true);
        // A quit asked for while the box was open ends the program before it looks for the
        // device (the window closed inside the box's loop, which does not end the program).
        if (quitRequested_) {
            QCoreApplication::quit();
            return;
        }
        StartConnecting();
    });
    actions_.MenuTest1->menuAction()->setVisible(false);
    Tabs_->setCurrentWidget(statusPage_);
    Tabs_->setTabVisible(Tabs_->indexOf(tabMotor_), false);
}

ConfigControls TMainForm::Controls() {
    return {*this, statusPage_->transmitData(), statusPage_->busParameters(), *transmitListPage_,
            *filtersPage_};
}

QSize TMainForm::FittedOnScreen(QSize wanted) const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return wanted;
    // The frame is known once the window manager has framed the window, before that it is none.
    const QSize frame = frameGeometry().size() - size();
    return wanted.boundedTo(screen->availableGeometry().size() - frame);
}

void TMainForm::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    resize(FittedOnScreen(size()));
    const QRect area = screen->geometry();
    const QRect available = screen->availableGeometry();
    const QSize whole = frameGeometry().size();
    const auto keptInView = [](int centred, int first, int room) {
        return std::max(std::min(centred, first + room), first);
    };
    move(keptInView((area.width() - width()) / 2, available.left(),
                    available.width() - whole.width()),
         keptInView((area.height() - height()) / 2, available.top(),
                    available.height() - whole.height()));
}

void TMainForm::KeepFrameOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || screen->availableGeometry().contains(frameGeometry())) return;
    CentreOnScreen();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TMainForm::FormShow() {
    statusPage_->frameLog().HideMissedPackets();
    secondTimer_ = new QTimer(this);
    connect(secondTimer_, &QTimer::timeout, this, &TMainForm::OnSecondTimer);
    secondTimer_->start(kSecondTimerMs);
    // Only a framed window knows how much room its title bar takes.
    QTimer::singleShot(kFramedWithinMs, this, &TMainForm::KeepFrameOnScreen);
    // The Motor page is built with the window but never offered to the user.
    Tabs_->removeTab(Tabs_->indexOf(tabMotor_));
    TabsEnter();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
}

// Closing is always allowed, also when the settings could not be saved.
void TMainForm::FormCloseQuery() {
    SaveSettings();
}

void TMainForm::SaveSettings(bool mayShowBox) {
    if (keepUnreadSettings_) return;
    std::string failure;
    if (!SaveConfig(configPath_, config_, Controls(), &failure))
        TellSettingsProblem("Settings could not be saved\n" + configPath_ + "\n" + failure,
                            mayShowBox);
}

void TMainForm::TellSettingsProblem(const std::string& text, bool mayShowBox) {
    std::fprintf(stderr, "Brannox: %s\n", text.c_str());
    if (mayShowBox) messages_.ShowMessage(text, "Error");
}

void TMainForm::CloseOnQuitRequest() {
    quitRequested_ = true;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->reject();
    if (isVisible()) close();
}

void TMainForm::Exit2Click() {
    close();
}

void TMainForm::ShowFrame(const CANBuffer* record) {
    if (record == nullptr) {
        messages_.ShowMessage("CAN Buffer limit reached " + std::to_string(FrameStore::kLimit),
                              "Information");
        bStopTxClick();
        return;
    }
    const uint64_t now = TickCount();
    busLoad_.Count(*record, false, now);
    identifierPage_->AddFrame(*record, now);
    statusPage_->frameLog().ShowFrame(*record);
}

void TMainForm::ShowSentFrame(const CANBuffer& record) {
    busLoad_.Count(record, true, TickCount());
    statusPage_->frameLog().ShowSentFrame(record);
}

void TMainForm::AddLogLine(const std::string& line) {
    statusPage_->frameLog().AddLine(line);
}

void TMainForm::UpdateControls() {
    const bool connected = session_->connected;
    const bool dynamicDisplay = config_.dynamicDisplay != 0;
    filtersPage_->UpdateFilterButtons();
    actions_.tbDisplayMonitor->setChecked(config_.lcdOn != 0);
    statusPage_->frameLog().ShowDisplayOptions(dynamicDisplay);
    actions_.DisplayDynamically1->setChecked(dynamicDisplay);
    actions_.tbTransmit->setEnabled(connected);
    actions_.tbDisplayMonitor->setEnabled(connected);
    actions_.Connect1->setVisible(!connected);
    // Disconnect also ends a connection command that is under way.
    actions_.Disconnect1->setVisible(connected || steps_->Running());
    actions_.TransmitFrame1->setEnabled(connected);
    UpdateStatusBar();
}

void TMainForm::UpdateStatusBar() {
    LinkStatus status;
    if (currentSerial_)
        status.state =
            session_->connected ? LinkStatus::State::Connected : LinkStatus::State::Pending;
    status.activity = steps_->Activity();
    status.portName = portName_;
    status.baudRate = config_.baudRate;
    status.busRate = config_.busRate;
    status.busLoad = busLoad_.Measure(TickCount(), config_.busRate);
    statusBar_->Show(status);
}

void TMainForm::OnSecondTimer() {
    statusPage_->frameLog().OnSecondTimer();
    UpdateStatusBar();
}

void TMainForm::ShowFirst1000messages1Click() {
    statusPage_->frameLog().ListFrames(0, 1000);
    config_.dynamicDisplay = 0;
    UpdateControls();
}

void TMainForm::FramesByIdentifier1Click() {
    Raise(*identifierPage_);
}

void TMainForm::ShowMessageRange1Click() {
    Raise(*frameRangeWindow_);
}

void TMainForm::DisplayDynamically1Click() {
    // The item has already changed its check when it reports the click.
    config_.dynamicDisplay = actions_.DisplayDynamically1->isChecked() ? 1 : 0;
    UpdateControls();
}

void TMainForm::tbDisplayMonitorClick() {
    config_.lcdOn = config_.lcdOn ? 0 : 1;
    filtersPage_->UpdateFilterButtons();
    actions_.tbDisplayMonitor->setChecked(config_.lcdOn != 0);
    session_->SendDisplayFlags();
}

void TMainForm::bStopTxClick() {
    transmitListPage_->bStopTxClick();
}

void TMainForm::TabsEnter() {
    actions_.ToolBar1->setVisible(Tabs_->currentWidget() != tabMotor_);
}
