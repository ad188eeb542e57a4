#pragma once

#include <array>
#include <string>
#include <type_traits>
#include <vector>

#include "config/config_controls.h"

// The main window's controls as plain values, starting as the window is designed. Every call
// that changes a control or refreshes the window is noted in `calls`, in order, whatever slice
// it is made on.
class FakeConfigControls : public WindowConfigControls,
                           public TransmitDataConfigControls,
                           public BusParameterConfigControls,
                           public TransmitListConfigControls,
                           public FilterListConfigControls {
  public:
    int height = 557;
    int width = 642;
    std::string portName;
    int dlcIndex = 0;
    bool extended = false;
    bool response = false;
    std::string idText;
    std::array<std::string, 8> dataText;
    bool useFilters = false;
    bool listenOnly = false;
    bool loopback = false;
    std::string busRateText;
    int gapIndex = 0;
    std::vector<std::string> txLines;
    std::vector<std::string> logLines;
    std::vector<std::string> calls;

    int WindowHeight() const override { return height; }
    int WindowWidth() const override { return width; }
    void SetWindowHeight(int value) override { height = Note("SetWindowHeight", value); }
    void SetWindowWidth(int value) override { width = Note("SetWindowWidth", value); }
    std::string PortName() const override { return portName; }
    void SetPortName(const std::string& name) override { portName = Note("SetPortName", name); }

    int TxDlcIndex() const override { return dlcIndex; }
    void SelectTxDlc(int index) override { dlcIndex = Note("SelectTxDlc", index); }
    bool TxExtended() const override { return extended; }
    void SetTxExtended(bool checked) override { extended = Note("SetTxExtended", checked); }
    bool TxResponse() const override { return response; }
    void SetTxResponse(bool checked) override { response = Note("SetTxResponse", checked); }
    std::string TxIdText() const override { return idText; }
    void SetTxIdText(const std::string& text) override { idText = Note("SetTxIdText", text); }
    std::string TxDataText(int index) const override { return dataText.at(index); }
    void SetTxDataText(int index, const std::string& text) override {
        dataText.at(index) = Note("SetTxDataText" + std::to_string(index), text);
    }

    void SetUseFilters(bool checked) override { useFilters = Note("SetUseFilters", checked); }
    void SetListenOnly(bool checked) override { listenOnly = Note("SetListenOnly", checked); }
    void SetLoopback(bool checked) override { loopback = Note("SetLoopback", checked); }
    void SetBusRateText(const std::string& text) override {
        busRateText = Note("SetBusRateText", text);
    }

    int SelectedGap() const override { return gapIndex; }
    void SelectGap(int index) override { gapIndex = Note("SelectGap", index); }
    std::vector<std::string> TxLines() const override { return txLines; }
    void SetTxLines(const std::vector<std::string>& lines) override {
        txLines = lines;
        calls.push_back("SetTxLines " + std::to_string(lines.size()));
    }
    void AppendTxLine(const std::string& line) override {
        txLines.push_back(Note("AppendTxLine", line));
    }

    void DlcChanged() override { calls.push_back("DlcChanged"); }
    void RedrawFilterList() override { calls.push_back("RedrawFilterList"); }
    void UpdateControls() override { calls.push_back("UpdateControls"); }
    void AppendLogLine(const std::string& line) override {
        logLines.push_back(Note("AppendLogLine", line));
    }

    // All slices on this one object.
    operator ConfigControls() { return {*this, *this, *this, *this, *this}; }

  private:
    template <typename T>
    const T& Note(const std::string& name, const T& value) {
        if constexpr (std::is_same_v<T, std::string>)
            calls.push_back(name + " " + value);
        else
            calls.push_back(name + " " + std::to_string(value));
        return value;
    }
};
