#pragma once

#include <string>

class Serial;
struct CANBuffer;

// What the device session needs of the main window.
class SessionHost {
  public:
    virtual ~SessionHost() = default;

    // The one open link, or null while there is none.
    virtual Serial* CurrentSerial() = 0;
    // A frame the session stored; null once, when the store reached its limit.
    virtual void ShowFrame(const CANBuffer* record) = 0;
    // A frame the session has just sent.
    virtual void ShowSentFrame(const CANBuffer& record) = 0;
    // Appends a line of text to the frame log.
    virtual void AddLogLine(const std::string& line) = 0;
    virtual void UpdateControls() = 0;
    // The Disconnect command: stops the transmit list, resets the session, closes the link.
    virtual void DisconnectClick() = 0;
};
