#pragma once

#include <memory>
#include <string>

// The simulator's end of the serial line, raw and non-blocking: the master side of a new
// pseudo-terminal, or an existing terminal device.
class Terminal {
  public:
    // The PC opens path(). The simulator also keeps the slave side open itself, so that the
    // line stays raw and does not hang up between the PC's sessions.
    static std::unique_ptr<Terminal> OpenPseudoTerminal(std::string& error);
    static std::unique_ptr<Terminal> OpenDevice(const std::string& path, std::string& error);

    ~Terminal() { Close(); }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int fd() const { return fd_; }
    // The simulator's own descriptor of the side the PC opens; -1 for an existing device.
    int slaveFd() const { return slaveFd_; }
    // Bytes written that the PC has not read yet, as far as the line can tell (0 when it
    // cannot).
    int UnreadByPc() const;
    const std::string& path() const { return path_; }
    // Hangs up: for a pseudo-terminal the device node disappears once the PC closes it too.
    void Close();

  private:
    Terminal(int fd, int slaveFd, std::string path)
        : fd_(fd), slaveFd_(slaveFd), path_(std::move(path)) {}

    int fd_;
    int slaveFd_;
    std::string path_;
};
