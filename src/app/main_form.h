#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_actions.h"
#include "link/frame.h"
#include "link/serial.h"
#include "link/serial_port_device.h"
#include "session/session_host.h"

class HandleCAN;
class QTabWidget;
class QTimer;
class StatusPage;
class UserMessages;
struct ConfigRecord;

// The main window: it owns the device session, the receive assembler and the one open link,
// composes the pages (Status; Filters, Transmit List and Motor), and serves the tool bar and
// menu commands that open, close, find and reset the link to the device.
class TMainForm : public QMainWindow, public SessionHost {
    Q_OBJECT
public:
    using PortLister = std::function<std::vector<std::string>()>;

    static constexpr int kLinkBufferSize = 1024;
    static constexpr int kResetSettleMs = 500;
    // How long Auto Detect waits for the answer to its identify packet.
    static constexpr int kDetectAnswerMs = 100;
    static constexpr int kSecondTimerMs = 1000;

    // `comPort` is the serial-port component every link is opened on; `enumComPorts` lists
    // the ports Auto Detect tries.
    TMainForm(SerialPortDevice& comPort, UserMessages& messages, ConfigRecord& config,
              PortLister enumComPorts, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up after construction: shows the settings, then finds or opens the device.
    void FormCreate();

    // Connection commands.
    // Opens `portName` afresh and starts the handshake; an open link goes through the
    // Disconnect steps first.
    void SetupComPort();
    void Connect1Click();
    void DisconnectClick() override;
    void tbConnectClick();
    void tbResetAllClick();
    void AutoDetect1Click();
    void ComPort1Error(SerialPortDevice::ErrorKind error);
    void Exit2Click();

    // Display commands.
    void ShowFirst1000messages1Click();
    void DisplayDynamically1Click();
    void tbDisplayMonitorClick();
    void TabsEnter();
    // Stops a running transmit-list run; there is no such run yet.
    void bStopTxClick() {}

    // What the session needs of the window.
    Serial* CurrentSerial() override { return currentSerial_.get(); }
    void ShowFrame(const CANBuffer* record) override;
    void ShowSentFrame(const CANBuffer& record) override;
    void AddLogLine(const std::string& line) override;
    void UpdateControls() override;
    bool Detecting() const override { return detecting_; }
    void SetDetecting(bool detecting) override { detecting_ = detecting; }
    bool BriefMode() const override;

    const std::string& portName() const { return portName_; }
    void SetPortName(const std::string& name) { portName_ = name; }
    HandleCAN& session() { return *session_; }
    StatusPage& statusPage() { return *statusPage_; }
    const MainFormActions& actions() const { return actions_; }
    const std::string& configPath() const { return configPath_; }
    const std::string& programFolder() const { return programFolder_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreatePages();
    void ConnectCommands();
    void FormShow();
    // Shows the configuration record's values in the window.
    void ShowConfig();
    void CentreOnScreen();
    // Makes a link on `name` with the window's line settings the current one.
    void OpenLink(const std::string& name);
    // Auto Detect's own handshake on the current link, read straight from the link; true
    // when the device answered 55 5A in time.
    bool ProbeCurrentLink();
    void SetConnectHint(const char* hint);
    void OnBytesReceived(int reported);

    SerialPortDevice& comPort_;
    UserMessages& messages_;
    ConfigRecord& config_;
    PortLister enumComPorts_;
    std::string configPath_;
    std::string programFolder_;

    Frame assembler_{'Z', 1};
    std::unique_ptr<HandleCAN> session_;
    std::unique_ptr<Serial> currentSerial_;
    std::string portName_;
    bool detecting_ = false;
    bool shown_ = false;

    MainFormActions actions_;
    QTabWidget* Tabs_ = nullptr;
    StatusPage* statusPage_ = nullptr;
    QWidget* tabFilters_ = nullptr;
    QWidget* tabTransmitList_ = nullptr;
    QWidget* tabMotor_ = nullptr;
    QTimer* secondTimer_ = nullptr;
};
