#pragma once

#include <QGroupBox>
#include <array>

#include "config/config_controls.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class SessionCommands;
struct CANBuffer;

// " CAN Data to Transmit ": one CAN frame composed by hand and sent with acknowledgement.
class TransmitDataGroup : public QGroupBox, public TransmitDataConfigControls {
    Q_OBJECT
  public:
    static constexpr int kDataBoxes = 8;

    explicit TransmitDataGroup(SessionCommands& session, QWidget* parent = nullptr);

    // Shows exactly as many data boxes as the chosen length.
    void cbDLCChange();
    // Sends the composed frame with acknowledgement; the session sends only while connected.
    void TransmitFrame1Click();
    // The frame as the boxes describe it: hexadecimal read up to the first other character,
    // each data byte its low 8 bits, all eight bytes whatever the length.
    CANBuffer FrameToSend() const;

    int TxDlcIndex() const override;
    void SelectTxDlc(int index) override;
    bool TxExtended() const override;
    void SetTxExtended(bool checked) override;
    bool TxResponse() const override;
    void SetTxResponse(bool checked) override;
    std::string TxIdText() const override;
    void SetTxIdText(const std::string& text) override;
    std::string TxDataText(int index) const override;
    void SetTxDataText(int index, const std::string& text) override;
    void DlcChanged() override { cbDLCChange(); }

  private:
    QLineEdit* eID;
    QCheckBox* cbExtendedID;
    QCheckBox* cbResponseFrame;
    QComboBox* cbDLC;
    QLabel* tDataBytes;
    std::array<QLineEdit*, kDataBoxes> eData;
    QLabel* tHex;
    SessionCommands& session_;
};
