#include "tool_process.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QProcessEnvironment>
#include <algorithm>

namespace {

constexpr int kRunTimeoutMs = 20000;

}  // namespace

ToolProcess::ToolProcess(const char* program, const QStringList& arguments,
                         const std::string& registry) {
    process_.setProgram(program);
    process_.setArguments(arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OSTREL_SIM_REGISTRY", QString::fromStdString(registry));
    process_.setProcessEnvironment(environment);
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.start();
    process_.waitForStarted(kRunTimeoutMs);
}

ToolProcess::~ToolProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(kRunTimeoutMs);
}

const std::string& ToolProcess::standardOutput() {
    out_ += process_.readAllStandardOutput().toStdString();
    return out_;
}

const std::string& ToolProcess::standardError() {
    err_ += process_.readAllStandardError().toStdString();
    return err_;
}

bool ToolProcess::WaitForLines(int lines, int timeoutMs) {
    while (std::count(standardOutput().begin(), standardOutput().end(), '\n') < lines)
        if (!process_.waitForReadyRead(timeoutMs)) return false;
    return true;
}

void ToolProcess::Signal(int number) {
    kill(static_cast<pid_t>(process_.processId()), number);
}

bool ToolProcess::Finish(int timeoutMs) {
    const bool ended =
        process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
    standardOutput();
    standardError();
    return ended;
}

int RunTool(const char* program, const QStringList& arguments, const std::string& registry,
            std::string* out, std::string* err) {
    ToolProcess tool(program, arguments, registry);
    if (!tool.Finish(kRunTimeoutMs)) return -1;
    if (out != nullptr) *out = tool.standardOutput();
    if (err != nullptr) *err = tool.standardError();
    return tool.exitCode();
}
