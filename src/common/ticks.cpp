#include "common/ticks.h"

#include <chrono>
#include <ctime>
#include <thread>

uint64_t TickCount() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int64_t WallClockSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

void BusyWaitUntil(uint64_t deadline) {
    BusyWaitFor(deadline, [] { return false; });
}

bool BusyWaitFor(uint64_t deadline, const std::function<bool()>& done) {
    while (true) {
        if (done()) return true;
        // TickCount() drops the fraction of a millisecond, so the deadline has only fully
        // passed once the count is beyond it; the device may rely on the whole wait.
        if (TickCount() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}
