#include "sim_process.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>
#include <cstdlib>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kEndTimeoutMs = 5000;

void Prepare(QProcess& process, const QString& registry) {
    process.setProgram(QStringLiteral(OSTREL_SIM_PATH));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OSTREL_SIM_REGISTRY", registry);
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

}  // namespace

SimProcess::SimProcess(const QStringList& arguments, bool traced, const std::string& registry)
    : registry_(registry.empty() ? folder_.filePath("registry").toStdString() : registry) {
    Prepare(process_, QString::fromStdString(registry_));
    // The test's own PC finds the port name in the simulator's registry, as a user's PC does.
    setenv("OSTREL_SIM_REGISTRY", registry_.c_str(), 1);
    const QStringList trace{"--trace", folder_.filePath("trace.txt")};
    process_.setArguments(traced ? trace + arguments : arguments);
    process_.start();
    if (!process_.waitForStarted(kStartTimeoutMs)) return;
    while (!process_.canReadLine() && process_.waitForReadyRead(kStartTimeoutMs)) {
    }
    port_ = QString::fromUtf8(process_.readLine()).trimmed().toStdString();
}

SimProcess::~SimProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kEndTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(kEndTimeoutMs);
    }
}

std::vector<TracedPacket> SimProcess::Trace() const {
    QFile file(folder_.filePath("trace.txt"));
    std::vector<TracedPacket> packets;
    if (!file.open(QIODevice::ReadOnly)) return packets;
    const QByteArray text = file.readAll();
    // The line being written may not be complete yet.
    for (const QByteArray& line : text.left(text.lastIndexOf('\n')).split('\n')) {
        TracedPacket packet;
        if (ParseTraceLine(line.toStdString(), packet)) packets.push_back(packet);
    }
    return packets;
}

std::vector<TracedPacket> SimProcess::Trace(char direction) const {
    std::vector<TracedPacket> packets;
    for (TracedPacket& packet : Trace())
        if (packet.direction == direction) packets.push_back(std::move(packet));
    return packets;
}

void SimProcess::Signal(int number) {
    kill(static_cast<pid_t>(process_.processId()), number);
}

bool SimProcess::WaitForExit(int timeoutMs) {
    return process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
}

std::string SimProcess::StandardError() {
    standardError_ += process_.readAllStandardError().toStdString();
    return standardError_;
}

std::string SimProcess::Counters(int timeoutMs) {
    constexpr char kLastLine[] = "dropped bytes";
    constexpr int kPollMs = 5;
    const size_t before = StandardError().size();
    Signal(SIGUSR1);
    const QDeadlineTimer deadline(timeoutMs);
    std::string report;
    do {
        QThread::msleep(kPollMs);
        QCoreApplication::processEvents();
        report = StandardError().substr(before);
    } while (report.find(kLastLine) == std::string::npos && !deadline.hasExpired());
    return report;
}

SimProcess::Outcome SimProcess::RunToEnd(const QStringList& arguments) {
    QTemporaryDir folder;
    QProcess process;
    Prepare(process, folder.filePath("registry"));
    process.setArguments(arguments);
    process.start();
    Outcome outcome;
    if (!process.waitForFinished(kEndTimeoutMs)) {
        process.kill();
        process.waitForFinished(kEndTimeoutMs);
        return outcome;
    }
    outcome.exitCode = process.exitCode();
    outcome.standardOutput = process.readAllStandardOutput().toStdString();
    outcome.standardError = process.readAllStandardError().toStdString();
    return outcome;
}
