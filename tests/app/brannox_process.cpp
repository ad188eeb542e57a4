#include "brannox_process.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kSignalEveryMs = 500;
constexpr int kWatchMs = 10;

}  // namespace

BrannoxProcess::BrannoxProcess(const QString& dataHome, const QString& simRegistry,
                               const QStringList& wrapper) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome);
    environment.insert("HOME", dataHome);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("OSTREL_SIM_REGISTRY", simRegistry);
    process_.setProcessEnvironment(environment);
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QStringList command = wrapper;
    command << QStringLiteral(BRANNOX_PATH);
    process_.setProgram(command.takeFirst());
    process_.setArguments(command);
    sinceStart_.start();
    process_.start();
    process_.waitForStarted(kStartTimeoutMs);
}

BrannoxProcess::~BrannoxProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(kStartTimeoutMs);
}

QString BrannoxProcess::SettingsPath(const QString& dataHome) {
    return dataHome + "/QNL/BRANNOX.INI";
}

QString BrannoxProcess::Status() const {
    QFile status(QString("/proc/%1/status").arg(process_.processId()));
    return status.open(QIODevice::ReadOnly) ? QString::fromLatin1(status.readAll()) : QString();
}

void BrannoxProcess::Watch(int ms) {
    static const QRegularExpression peak("VmHWM:\\s*(\\d+) kB");
    const QRegularExpressionMatch match = peak.match(Status());
    if (match.hasMatch())
        peakResident_ = std::max(peakResident_, match.captured(1).toLongLong() * 1024);
    process_.waitForFinished(ms);
}

bool BrannoxProcess::HandlesSigterm() const {
    static const QRegularExpression caught("SigCgt:\\s*([0-9a-f]+)");
    const QRegularExpressionMatch match = caught.match(Status());
    return match.hasMatch() && (match.captured(1).toULongLong(nullptr, 16) >> (SIGTERM - 1) & 1);
}

std::string BrannoxProcess::StandardError() {
    standardError_ += process_.readAllStandardError().toStdString();
    return standardError_;
}

bool BrannoxProcess::WaitForError(const std::string& text, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (StandardError().find(text) == std::string::npos) {
        if (process_.state() == QProcess::NotRunning || waited.elapsed() > timeoutMs) return false;
        Watch(kWatchMs);
    }
    return true;
}

bool BrannoxProcess::EndBySignal(int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    // Until the program has its handler, the signal would end it at once, unsaved.
    while (process_.state() != QProcess::NotRunning && !HandlesSigterm() &&
           waited.elapsed() < timeoutMs)
        Watch(kWatchMs);
    while (process_.state() != QProcess::NotRunning && waited.elapsed() < timeoutMs) {
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        while (process_.state() != QProcess::NotRunning && sinceSignal.elapsed() < kSignalEveryMs)
            Watch(kWatchMs);
    }
    StandardError();
    return process_.state() == QProcess::NotRunning;
}
