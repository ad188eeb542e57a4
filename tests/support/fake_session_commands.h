#pragma once

#include <functional>

#include "session/session_commands.h"

// The device session as a page sees it: frames go to the test's `transmitted`, and the other
// commands are counted.
class FakeSessionCommands : public SessionCommands {
  public:
    void TransmitFrame(const CANBuffer& record, bool ack) override {
        if (transmitted) transmitted(record, ack);
    }
    bool RoomToTransmit(const CANBuffer&, bool) override { return true; }
    void SendSetupAndFilters(bool setupOnly) override { ++(setupOnly ? setups : uploads); }
    void SetBriefMode(bool brief) override { briefMode = brief; }

    std::function<void(const CANBuffer& record, bool ack)> transmitted;
    int setups = 0;   // the bus setup alone
    int uploads = 0;  // the bus setup and the fast filters
    bool briefMode = false;
};
