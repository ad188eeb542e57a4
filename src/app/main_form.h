#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_actions.h"
#include "common/on_demand.h"
#include "config/config_controls.h"
#include "help/xdg_viewer_registry.h"
#include "link/frame.h"
#include "link/serial.h"
#include "link/serial_port_device.h"
#include "session/device_commands.h"
#include "session/session_host.h"
#include "views/bus_load_meter.h"

class ConnectionStatusBar;
class ConnectionSteps;
class FiltersPage;
class FrameRangeWindow;
class HandleCAN;
class IdentifierPage;
class QTabWidget;
class QTimer;
class StatusPage;
class TCANMessage;
class TConfigComms;
class TSetFilter;
class TransmitListPage;
class UserMessages;
struct ConfigRecord;

// What the main window works with, given from outside so that tests can replace it.
struct MainFormServices {
    // The serial-port component every link is opened on.
    SerialPortDevice& comPort;
    UserMessages& messages;
    // The one configuration record of the run.
    ConfigRecord& config;
    // The ports Auto Detect tries, in order.
    std::function<std::vector<std::string>()> enumComPorts;
    std::string configPath;
    // Where the manual's viewer is looked up: the desktop's own unless a test replaces it.
    std::unique_ptr<ViewerRegistry> viewers = std::make_unique<XdgViewerRegistry>();
    // Makes the serial-port components Auto Detect probes several ports at once on; without
    // it the ports are probed one after the other on `comPort`.
    std::function<std::unique_ptr<SerialPortDevice>()> makeProbePort = {};
};

// The main window: it owns the device session, the receive assembler and the one open link,
// composes the pages (Status, Filters, Transmit List; Motor, never shown), and serves the
// tool bar and menu commands that open, close, find and reset the link to the device. It is
// also what the session sees of the window, and its own slice of the configuration.
class TMainForm : public QMainWindow, public SessionHost, public WindowConfigControls {
    Q_OBJECT
  public:
    static constexpr int kSecondTimerMs = 1000;
    // How many ports Auto Detect probes at once, given the components for it.
    static constexpr int kProbesAtOnce = 8;

    explicit TMainForm(MainFormServices services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up after construction: loads the settings; once the event loop runs (after the
    // window is shown), finds or opens the device.
    void FormCreate();

    // Connection commands.
    // Opens `portName` afresh and starts the handshake; an open link goes through the
    // Disconnect steps first. With the dialog the user may change the port and the rate
    // first, and a cancelled dialog leaves everything as it was.
    void SetupComPort(bool withDialog);
    void Connect1Click();
    void DisconnectClick() override;
    void tbConnectClick();
    void tbResetAllClick();
    void AutoDetect1Click();
    void ComPort1Error(SerialPortDevice::ErrorKind error);
    void Exit2Click();
    // A connection command is under way (its waits run on timers), or due at start-up.
    bool ConnectionBusy() const;

    // Writes the settings file now, as closing does; a failure is told in a box (only when
    // `mayShowBox`) and on standard error, with the path and the system's reason. A file that
    // could not be read at start is never written over.
    void SaveSettings(bool mayShowBox = true);
    // The program is asked to end (a signal, the desktop session): open dialogs and boxes are
    // cancelled and the window closes as the user would close it, settings saved. Before the
    // window is shown, QuitRequested() tells the start-up to close it instead.
    void CloseOnQuitRequest();
    bool QuitRequested() const { return quitRequested_; }

    // Configuration commands (main_form_configuration.cpp).
    // Save Configuration: the whole configuration into a new file of the user's choice (".ini"
    // added to a name without an extension); a failure is told in a box.
    void SaveConfiguration1Click();
    // Load Configuration: a file written by Save Configuration (or the settings file) becomes
    // the current configuration at once, every page showing it and a connected device getting
    // its setup and filters. A file that is not a whole configuration is told in a box and
    // changes nothing.
    void LoadConfiguration1Click();

    // Display commands.
    void ShowFirst1000messages1Click();
    void FramesByIdentifier1Click();
    void ShowMessageRange1Click();
    void DisplayDynamically1Click();
    void tbDisplayMonitorClick();
    void TabsEnter();
    void bStopTxClick();
    // The one-second display tick: the log's counters and indicator, and the status bar.
    void OnSecondTimer();

    // Log commands (main_form_log.cpp).
    // Save Message Log: the dialog starts in the folder of the last save (or Documents) with
    // a name of the date and time; the status bar tells how many frames went where.
    void tbSaveBufferClick();
    // Open Log: a saved log of any format this tool writes into the frame store, its first
    // FrameStore::kLimit frames, listed as if received. The user confirms before a link is
    // closed or stored frames are replaced; a bad file changes nothing.
    void OpenLog1Click();
    // Resets counters, log text and frame store after the user's Yes; returns true when the
    // user declined. An empty store is left alone without a question.
    bool ResetLog(bool withHardware);
    void ResetLog1Click() { ResetLog(false); }
    // The hidden test menu: made-up received frames through the session's usual path.
    void DebugTest1Click();
    void Rx100IdenticalTestMessages1Click();
    void Receive100randommessages1Click();

    // Help (main_form_help.cpp).
    void About1Click();
    void Manual1Click();

    // What the session needs of the window.
    Serial* CurrentSerial() override { return currentSerial_.get(); }
    void ShowFrame(const CANBuffer* record) override;
    void ShowSentFrame(const CANBuffer& record) override;
    void AddLogLine(const std::string& line) override;
    void UpdateControls() override;

    // The window's controls as the configuration file fills and reads them, page by page.
    ConfigControls Controls();

    // The window's own slice of the configuration.
    int WindowHeight() const override { return height(); }
    int WindowWidth() const override { return width(); }
    // A size from the file is trusted no further than the screen's available area.
    void SetWindowHeight(int height) override { resize(FittedOnScreen({width(), height})); }
    void SetWindowWidth(int width) override { resize(FittedOnScreen({width, height()})); }
    std::string PortName() const override { return portName_; }
    void SetPortName(const std::string& name) override { portName_ = name; }
    void AppendLogLine(const std::string& line) override { AddLogLine(line); }

    HandleCAN& session() { return *session_; }
    StatusPage& statusPage() { return *statusPage_; }
    FiltersPage& filtersPage() { return *filtersPage_; }
    TransmitListPage& transmitListPage() { return *transmitListPage_; }
    TSetFilter& setFilter() { return *setFilter_; }
    TConfigComms& configComms() { return *configComms_; }
    IdentifierPage& identifierPage() { return *identifierPage_; }
    FrameRangeWindow& frameRangeWindow() { return *frameRangeWindow_; }
    const MainFormActions& actions() const { return actions_; }
    const std::string& configPath() const { return configPath_; }
    const std::string& programFolder() const { return programFolder_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreatePages();
    void ConnectCommands();
    void FormShow();
    void FormCloseQuery();
    // Centres the window on the screen, kept whole on the screen's available area; a window
    // larger than that keeps its top left corner (title bar, menus) in view.
    void CentreOnScreen();
    QSize FittedOnScreen(QSize wanted) const;
    // A shown window whose frame reaches off the available area is fitted and centred again.
    void KeepFrameOnScreen();
    void CreateConnectionSteps(
        const std::function<std::unique_ptr<SerialPortDevice>()>& makeProbePort);
    // Makes a link on `name` the current one and says so; false (told in the log and a box)
    // when its port did not open.
    bool OpenLink(const std::string& name);
    // The Disconnect command short of its settle: the link it reset, and when.
    std::pair<std::unique_ptr<Serial>, uint64_t> DisconnectLink();
    void StartConnecting();
    void SetConnectHint(const char* hint);
    void UpdateStatusBar();
    // A box and a line on standard error, for a desktop session that ends unseen.
    void TellSettingsProblem(const std::string& text, bool mayShowBox);
    // The folder the log file dialogs start in.
    std::string LogFolder() const;
    void OnBytesReceived(int reported);

    SerialPortDevice& comPort_;
    UserMessages& messages_;
    ConfigRecord& config_;
    std::function<std::vector<std::string>()> enumComPorts_;
    std::string configPath_;
    std::string programFolder_;
    std::unique_ptr<ViewerRegistry> viewers_;

    Frame assembler_{kLetterIdentified, 1};
    std::unique_ptr<HandleCAN> session_;
    std::unique_ptr<Serial> currentSerial_;
    std::vector<std::unique_ptr<SerialPortDevice>> probePorts_;
    std::unique_ptr<ConnectionSteps> steps_;
    bool startUpPending_ = false;
    std::string portName_;
    bool shown_ = false;
    bool quitRequested_ = false;
    // The settings file exists but could not be read: it is never written over.
    bool keepUnreadSettings_ = false;

    MainFormActions actions_;
    // Dialogs and windows of their own are made when first opened, and kept from then on.
    OnDemand<TSetFilter> setFilter_;
    OnDemand<TCANMessage> canMessage_;
    OnDemand<TConfigComms> configComms_;
    std::unique_ptr<ConnectionStatusBar> statusBar_;
    QTabWidget* Tabs_ = nullptr;
    StatusPage* statusPage_ = nullptr;
    FiltersPage* filtersPage_ = nullptr;
    TransmitListPage* transmitListPage_ = nullptr;
    QWidget* tabMotor_ = nullptr;
    // A window of its own, beside the Status log rather than instead of it; made when first
    // opened or when the first frame arrives, whichever comes first.
    OnDemand<IdentifierPage> identifierPage_;
    OnDemand<FrameRangeWindow> frameRangeWindow_;
    QTimer* secondTimer_ = nullptr;
    BusLoadMeter busLoad_;
};
