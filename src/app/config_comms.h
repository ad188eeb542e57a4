#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/ok_bottom_dlg.h"

class QButtonGroup;
class QGroupBox;
class QScrollArea;

// The Setup Com Port dialog: the serial port and the serial rate the main window opens its
// link with. It offers the ports COM1 to COM33 and after them every port the enumeration
// finds at the moment it opens, and six rates; it knows nothing of the link itself. Its size
// is 368 x 376, wider where the port names need it.
class TConfigComms : public TOKBottomDlg {
    Q_OBJECT
  public:
    static constexpr int kComItems = 33;
    static constexpr int kPortColumns = 3;

    explicit TConfigComms(std::function<std::vector<std::string>()> enumComPorts,
                          QWidget* parent = nullptr);

    // Shows the dialog on `portName` and `baudRate`. On OK writes the chosen port (COM1 when
    // none is selected) and rate and returns true; otherwise changes nothing and returns false.
    bool EditPortSettings(std::string& portName, int32_t& baudRate);

    QGroupBox* Communications;
    QGroupBox* SPRate;
    QPushButton* HelpBtn;

  private:
    // Fills Communications with the COM items and the ports the enumeration finds now.
    void ListPorts();
    // Selects the port item named `name` regardless of case; none when no item has that name.
    void SelectPort(const std::string& name);

    std::function<std::vector<std::string>()> enumComPorts_;
    QButtonGroup* ports_;
    QButtonGroup* rates_;
    QWidget* portItems_;
    QScrollArea* portScroller_;
    std::vector<std::string> portNames_;  // by item index
};
