#pragma once

struct CANBuffer;

// What the window's pages ask of the device session. The session sends only while connected.
class SessionCommands {
  public:
    virtual ~SessionCommands() = default;

    // Sends the frame; with `ack` the device is to acknowledge it.
    virtual void TransmitFrame(const CANBuffer& record, bool ack) = 0;
    // False while the open link has no room for the frame's packet.
    virtual bool RoomToTransmit(const CANBuffer& record, bool ack) = 0;
    // Sends the bus setup, and unless `setupOnly` the fast filters after it.
    virtual void SendSetupAndFilters(bool setupOnly) = 0;
    // Brief Mode: the device leaves out the data bytes of received frames. It goes to the
    // device with the next bus setup.
    virtual void SetBriefMode(bool brief) = 0;
};
