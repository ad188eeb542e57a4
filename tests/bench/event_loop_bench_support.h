#pragma once

// What the benchmarks of the window under load share: their seconds argument and settings
// folder, running the program's event loop for a while, and a probe of how long it stalls.

#include <time.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>

// The first argument as a number of seconds, at least 1; `fallback` when there is none.
inline int SecondsArgument(int argc, char** argv, int fallback) {
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

// Offscreen unless a platform is chosen, and with a data folder of its own while it exists,
// so that a benchmark's window never touches the user's real settings.
class BenchSettingsFolder {
  public:
    BenchSettingsFolder() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
    }

  private:
    QTemporaryDir home_;
};

// Runs the event loop for `ms`, or until `done` holds when one is given (checked every 10 ms).
inline void RunEventLoop(int ms, const std::function<bool()>& done = {}) {
    QEventLoop loop;
    QTimer check;
    if (done) {
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (done()) loop.quit();
        });
        check.start(10);
    }
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    if (!done || !done()) loop.exec();
}

// A fast periodic timer that keeps the longest lateness of its ticks: the longest time the
// event loop did not get round to it, and how much of that time the loop's thread ran (the
// rest it was waiting for a processor, which a busy machine may keep from it).
class StallProbe {
  public:
    static constexpr int kPeriodMs = 5;

    StallProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        last_ = Clock::now();
        lastRunning_ = ThreadCpuTime();
        timer_.start(kPeriodMs);
    }
    void Stop() { timer_.stop(); }
    double LongestStallMs() const { return Milliseconds(longest_); }
    // The gap between the two ticks around the longest stall, and how much of it the thread ran.
    double LongestGapMs() const { return LongestStallMs() + kPeriodMs; }
    double RunningInLongestGapMs() const { return Milliseconds(runningInLongest_); }

  private:
    using Clock = std::chrono::steady_clock;

    static double Milliseconds(Clock::duration duration) {
        return std::chrono::duration<double, std::milli>(duration).count();
    }
    static Clock::duration ThreadCpuTime() {
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        return std::chrono::seconds(cpu.tv_sec) + std::chrono::nanoseconds(cpu.tv_nsec);
    }
    void Tick() {
        const Clock::time_point now = Clock::now();
        const Clock::duration running = ThreadCpuTime();
        const Clock::duration late = now - last_ - std::chrono::milliseconds(kPeriodMs);
        if (late > longest_) {
            longest_ = late;
            runningInLongest_ = running - lastRunning_;
        }
        last_ = now;
        lastRunning_ = running;
    }

    QTimer timer_;
    Clock::time_point last_;
    Clock::duration lastRunning_{};
    Clock::duration longest_{};
    Clock::duration runningInLongest_{};
};
