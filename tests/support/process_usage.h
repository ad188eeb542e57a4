#pragma once

#include <sys/resource.h>

// What this process has used so far: processor time, and how often it went to sleep and was
// woken again (voluntary context switches).
struct ProcessUsage {
    double cpuSeconds = 0;
    long sleeps = 0;
};

// RUSAGE_SELF for this process, RUSAGE_CHILDREN for the children it has waited for.
inline ProcessUsage ProcessUsageNow(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw};
}

inline double ProcessCpuSeconds() {
    return ProcessUsageNow().cpuSeconds;
}
