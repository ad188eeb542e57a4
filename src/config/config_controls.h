#pragma once

#include <string>
#include <vector>

// The window's controls that the configuration file fills when it is loaded and reads when it
// is saved, in slices: each slice is the part of the window that shows those settings, and
// tests fake them. Setting a control from here is setting it from code: a check box runs its
// click handler and an edit box its change handler when its text changes, while selecting a
// combo-box item runs no handler.

// The main window itself: its size in pixels, the `portName` field, and what follows a load.
class WindowConfigControls {
  public:
    virtual ~WindowConfigControls() = default;

    virtual int WindowHeight() const = 0;
    virtual int WindowWidth() const = 0;
    virtual void SetWindowHeight(int height) = 0;
    virtual void SetWindowWidth(int width) = 0;
    virtual std::string PortName() const = 0;
    virtual void SetPortName(const std::string& name) = 0;
    virtual void UpdateControls() = 0;
    // Adds a line to the frame log (FrameList).
    virtual void AppendLogLine(const std::string& line) = 0;
};

// The Status tab's single-frame transmit panel. Indices are -1 when nothing is selected.
class TransmitDataConfigControls {
  public:
    virtual ~TransmitDataConfigControls() = default;

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
    // The data boxes follow the length (cbDLCChange).
    virtual void DlcChanged() = 0;
};

// The Status tab's option boxes and bus rate; the record holds their values.
class BusParameterConfigControls {
  public:
    virtual ~BusParameterConfigControls() = default;

    virtual void SetUseFilters(bool checked) = 0;              // cbUseFilters
    virtual void SetListenOnly(bool checked) = 0;              // cbListenOnly
    virtual void SetLoopback(bool checked) = 0;                // cbLoopback
    virtual void SetBusRateText(const std::string& text) = 0;  // cbCANBusRate
};

// The Transmit List tab.
class TransmitListConfigControls {
  public:
    virtual ~TransmitListConfigControls() = default;

    virtual int SelectedGap() const = 0;  // cbGap's current item
    virtual void SelectGap(int index) = 0;
    // The lines as stored, one entry per line.
    virtual std::vector<std::string> TxLines() const = 0;  // eTxList
    virtual void SetTxLines(const std::vector<std::string>& lines) = 0;
    virtual void AppendTxLine(const std::string& line) = 0;
};

// The Filters tab's list, drawn from the record.
class FilterListConfigControls {
  public:
    virtual ~FilterListConfigControls() = default;

    virtual void RedrawFilterList() = 0;
};

// All slices. After the values, LoadConfig runs DlcChanged, RedrawFilterList and
// UpdateControls, in this order.
struct ConfigControls {
    WindowConfigControls& window;
    TransmitDataConfigControls& transmitData;
    BusParameterConfigControls& busParameters;
    TransmitListConfigControls& transmitList;
    FilterListConfigControls& filterList;
};
