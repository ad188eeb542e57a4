#pragma once

#include <cstdint>
#include <cstdio>

class ReadRateLimit;
class SimulatedDevice;
class Terminal;
class VirtualBus;

// Blocks SIGINT, SIGTERM and SIGUSR1 everywhere but inside the loop's wait, so that a signal
// arriving during start-up is still handled cleanly by the loop.
void BlockSimulatorSignals();

// Microseconds of the monotonic clock that the device and the trace use.
uint64_t MonotonicMicroseconds();

// Moves bytes between the terminal and the device, reading no faster than `readLimit` allows,
// hands the device the frames of the other members of `bus` (none: no shared bus), and lets the
// bus traffic happen, until SIGINT or SIGTERM (exit code 0), the requested
// hang-up (0) or a failed line (1). SIGUSR1 prints the counters to `report`.
int RunSimulator(SimulatedDevice& device, Terminal& terminal, ReadRateLimit& readLimit,
                 VirtualBus* bus, std::FILE* report);
