#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

// One run of ostrel-dump or ostrel-send from the build tree, with the simulator's port
// registry `registry` (so that finding the device sees only the test's simulator). It gets
// SIGTERM should the test process die first, and is killed when still running at the end.
class ToolProcess {
  public:
    ToolProcess(const char* program, const QStringList& arguments, const std::string& registry);
    ~ToolProcess();

    // Waits until standard output holds `lines` lines; false when it did not in time.
    bool WaitForLines(int lines, int timeoutMs);
    void Signal(int number);
    // Waits for the end; false when it did not end in time.
    bool Finish(int timeoutMs);

    int exitCode() const { return process_.exitCode(); }
    const std::string& standardOutput();
    const std::string& standardError();

  private:
    QProcess process_;
    std::string out_;
    std::string err_;
};

// Runs to the end (or 20 s) and returns the exit code; outputs in `run`.
int RunTool(const char* program, const QStringList& arguments, const std::string& registry,
            std::string* out = nullptr, std::string* err = nullptr);
