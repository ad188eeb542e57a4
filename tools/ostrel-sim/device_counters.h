#pragma once

#include <cstdint>
#include <map>
#include <string>

// What the simulated device has done since it started; printed on exit and on SIGUSR1.
struct DeviceCounters {
    // Packets from the PC by letter; the unframed reset counts as 'R'.
    std::map<char, uint64_t> packetsByCommand;
    // Packets too short for their letter, or naming a filter slot beyond 5; ignored.
    uint64_t malformedPackets = 0;
    // Frames the other nodes put on the simulated bus.
    uint64_t framesGenerated = 0;
    uint64_t framesToPc = 0;
    uint64_t framesLoopedBack = 0;
    uint64_t framesDroppedByFilters = 0;
    // Frames that passed the filters but were lost (--lost-every, or the line fell behind).
    uint64_t framesLost = 0;
    // Frames from the PC that went out on the bus.
    uint64_t framesToBus = 0;
    // Frames other simulators on a shared bus sent (--bus) that reached this device.
    uint64_t framesFromBus = 0;
    uint64_t acknowledgements = 0;
    uint64_t garbageBytes = 0;
    uint64_t droppedBytes = 0;
};

std::string FormatCounters(const DeviceCounters& counters);
