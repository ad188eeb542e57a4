#pragma once

#include <QGroupBox>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class HandleCAN;
struct CANBuffer;

// " CAN Data to Transmit ": one CAN frame composed by hand and sent with acknowledgement.
class TransmitDataGroup : public QGroupBox {
    Q_OBJECT
  public:
    static constexpr int kDataBoxes = 8;

    explicit TransmitDataGroup(HandleCAN& session, QWidget* parent = nullptr);

    // Shows exactly as many data boxes as the chosen length.
    void cbDLCChange();
    // Sends the composed frame with acknowledgement; the session sends only while connected.
    void TransmitFrame1Click();
    // The frame as the boxes describe it: hexadecimal read up to the first other character,
    // each data byte its low 8 bits, all eight bytes whatever the length.
    CANBuffer FrameToSend() const;

    QLineEdit* eID;
    QCheckBox* cbExtendedID;
    QCheckBox* cbResponseFrame;
    QComboBox* cbDLC;
    QLabel* tDataBytes;
    std::array<QLineEdit*, kDataBoxes> eData;
    QLabel* tHex;

  private:
    HandleCAN& session_;
};
