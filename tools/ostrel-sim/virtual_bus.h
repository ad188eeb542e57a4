#pragma once

#include <filesystem>
#include <string>

#include "session/can_buffer.h"

// True for a name `--bus` accepts: 1 to 64 letters, digits, '-', '_' and '.', not starting with
// '.'.
bool ValidBusName(const std::string& name);

// One simulator's place on a named virtual CAN bus, shared by every simulator of this user
// that joins the same name on this machine, like two interfaces on one cable. Each member
// owns a datagram socket in a folder of the bus inside the simulators' registry folder; a frame
// sent goes to every other member's socket. A socket left behind by a killed member refuses
// frames and is deleted then; a member that does not read its frames in time misses the rest.
class VirtualBus {
  public:
    // Joins bus `name`; Joined() tells whether it worked.
    explicit VirtualBus(const std::string& name);
    ~VirtualBus();
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    bool Joined() const { return fd_ >= 0; }
    // Why joining failed; empty when it worked.
    const std::string& Error() const { return error_; }
    // Readable while frames from the other members wait.
    int fd() const { return fd_; }

    // Puts `frame` on the bus for every other member.
    void Send(const CANBuffer& frame);
    // The next frame another member sent; false when none waits.
    bool Receive(CANBuffer& frame);

  private:
    std::filesystem::path folder_;
    std::filesystem::path socketPath_;
    int fd_ = -1;
    std::string error_;
};
