#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A real pseudo-terminal for tests of the serial port adapter: the program under test opens
// SlavePath() as its serial port, and the test plays the device on the master side.
class PseudoTerminal {
  public:
    // Opens the master, and the slave once in raw mode, so that no line discipline touches
    // the bytes. Throws std::runtime_error when the system gives no pseudo-terminal.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    // Bytes the device sends to the program.
    void Send(const std::vector<uint8_t>& bytes);
    // Waits until the slave's input queue in the kernel holds at least `count` bytes, or
    // `timeoutMs` passes; true when it does.
    bool WaitUntilQueued(int count, int timeoutMs);
    // Reads what the program wrote until `count` bytes came or `timeoutMs` passed.
    std::vector<uint8_t> Receive(size_t count, int timeoutMs);
    // The line rate in bit/s that the program set.
    int LineRate() const;
    // Hangs the line up, as when the device is unplugged.
    void CloseMaster();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
