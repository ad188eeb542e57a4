#pragma once

#include <string>
#include <vector>

// The main window's controls that the configuration file fills when it is loaded and reads
// when it is saved. TMainForm implements it (tests use a fake). Setting a control from here is
// setting it from code: a check box runs its click handler and an edit box its change handler
// when its text changes, while selecting a combo-box item runs no handler.
class ConfigControls {
  public:
    virtual ~ConfigControls() = default;

    // The main window's size in pixels and the `portName` field.
    virtual int WindowHeight() const = 0;
    virtual int WindowWidth() const = 0;
    virtual void SetWindowHeight(int height) = 0;
    virtual void SetWindowWidth(int width) = 0;
    virtual std::string PortName() const = 0;
    virtual void SetPortName(const std::string& name) = 0;

    // Status tab, single-frame transmit panel. Indices are -1 when nothing is selected.
    virtual int TxDlcIndex() const = 0;  // cbDLC
    virtual void SelectTxDlc(int index) = 0;
    virtual bool TxExtended() const = 0;  // cbExtendedID
    virtual void SetTxExtended(bool checked) = 0;
    virtual bool TxResponse() const = 0;  // cbResponseFrame
    virtual void SetTxResponse(bool checked) = 0;
    virtual std::string TxIdText() const = 0;  // eID
    virtual void SetTxIdText(const std::string& text) = 0;
    virtual std::string TxDataText(int index) const = 0;  // eData0 ... eData7
    virtual void SetTxDataText(int index, const std::string& text) = 0;

    // Status tab option boxes and bus rate.
    virtual void SetUseFilters(bool checked) = 0;              // cbUseFilters
    virtual void SetListenOnly(bool checked) = 0;              // cbListenOnly
    virtual void SetLoopback(bool checked) = 0;                // cbLoopback
    virtual void SetBusRateText(const std::string& text) = 0;  // cbCANBusRate

    // Transmit List tab.
    virtual int GapIndex() const = 0;  // cbGap
    virtual void SelectGap(int index) = 0;
    virtual std::vector<std::string> TxLines() const = 0;  // eTxList, one entry per line
    virtual void SetTxLines(const std::vector<std::string>& lines) = 0;
    virtual void AppendTxLine(const std::string& line) = 0;

    // What depends on the loaded values; LoadConfig runs these in this order.
    virtual void DlcChanged() = 0;  // cbDLCChange
    virtual void RedrawFilterList() = 0;
    virtual void UpdateControls() = 0;

    // Adds a line to the frame log (FrameList).
    virtual void AppendLogLine(const std::string& line) = 0;
};
