#include "device_counters.h"

std::string FormatCounters(const DeviceCounters& c) {
    std::string text = "packets received:";
    if (c.packetsByCommand.empty()) text += " none";
    for (const auto& [letter, count] : c.packetsByCommand)
        text += std::string(" ") + letter + "=" + std::to_string(count);
    text += ", malformed " + std::to_string(c.malformedPackets) + "\n";
    text += "frames generated " + std::to_string(c.framesGenerated) + ", sent to the PC " +
            std::to_string(c.framesToPc) + " (looped back " + std::to_string(c.framesLoopedBack) +
            "), dropped by filters " + std::to_string(c.framesDroppedByFilters) + ", lost " +
            std::to_string(c.framesLost) + "\n";
    text += "frames sent on the bus " + std::to_string(c.framesToBus) +
            ", received from other simulators " + std::to_string(c.framesFromBus) +
            ", acknowledgements " + std::to_string(c.acknowledgements) + "\n";
    text += "garbage bytes " + std::to_string(c.garbageBytes) + ", dropped bytes " +
            std::to_string(c.droppedBytes) + "\n";
    return text;
}
