#pragma once

#include <cstdint>
#include <functional>

// Milliseconds of a monotonic clock, the counterpart of the Windows tick count.
uint64_t TickCount();

// Whole seconds of the wall clock.
int64_t WallClockSeconds();

// Blocks the calling thread until the millisecond `deadline` of TickCount() has wholly passed,
// sleeping about a millisecond between checks. The event loop does not run meanwhile; that is
// the point of these waits.
void BusyWaitUntil(uint64_t deadline);

// Blocks until `deadline` or until `done` returns true, whichever is first; `done` is polled
// about once a millisecond. Returns the last result of `done`.
bool BusyWaitFor(uint64_t deadline, const std::function<bool()>& done);
