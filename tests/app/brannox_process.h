#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <string>

// The program of this build, started as a user starts it, on the offscreen platform: its
// settings file is $XDG_DATA_HOME/QNL/BRANNOX.INI below `dataHome`, and Auto Detect finds the
// simulators of `simRegistry` only. `wrapper` (a program and its arguments, such as setpriv to
// run it as another user) starts it when given. The destructor kills what is still running.
class BrannoxProcess {
  public:
    BrannoxProcess(const QString& dataHome, const QString& simRegistry,
                   const QStringList& wrapper = {});
    ~BrannoxProcess();
    BrannoxProcess(const BrannoxProcess&) = delete;
    BrannoxProcess& operator=(const BrannoxProcess&) = delete;

    static QString SettingsPath(const QString& dataHome);

    // Waits until the program's standard error holds `text`; true when it did.
    bool WaitForError(const std::string& text, int timeoutMs);
    // Once the program handles SIGTERM, asks it to end with it, again every half second (which also
    // cancels a box still open), until it has ended; true when it did within `timeoutMs`.
    bool EndBySignal(int timeoutMs);

    std::string StandardError();
    int ExitCode() const { return process_.exitCode(); }
    bool Crashed() const { return process_.exitStatus() == QProcess::CrashExit; }
    // Milliseconds since the start.
    qint64 Elapsed() const { return sinceStart_.elapsed(); }
    // The most memory the program held resident, in bytes, as last seen while it ran.
    qint64 PeakResidentBytes() const { return peakResident_; }

  private:
    // Runs the test's event loop for a moment and notes the program's peak resident memory.
    void Watch(int ms);
    // The program's /proc status text; empty once it has ended.
    QString Status() const;
    bool HandlesSigterm() const;

    QProcess process_;
    QElapsedTimer sinceStart_;
    std::string standardError_;
    qint64 peakResident_ = 0;
};
