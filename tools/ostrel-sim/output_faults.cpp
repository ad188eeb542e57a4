#include "output_faults.h"

#include "link/frame.h"

OutputFaults::OutputFaults(double garbageShare, double dropShare, uint32_t seed)
    : garbagePerByte_(garbageShare / (1.0 - garbageShare)), drop_(dropShare), random_(seed) {}

void OutputFaults::Append(const std::vector<uint8_t>& packet, std::vector<uint8_t>& out) {
    // Garbage ahead of each packet in proportion to its size keeps the share exact over time.
    garbageCredit_ += garbagePerByte_ * static_cast<double>(packet.size());
    for (; garbageCredit_ >= 1.0; garbageCredit_ -= 1.0) {
        uint8_t byte = static_cast<uint8_t>(random_());
        if (byte == Frame::kStart) byte ^= 0x01;
        out.push_back(byte);
        ++garbageBytes;
    }
    if (drop_.p() == 0.0) {
        out.insert(out.end(), packet.begin(), packet.end());
        return;
    }
    for (uint8_t byte : packet) {
        if (drop_(random_)) {
            ++droppedBytes;
            continue;
        }
        out.push_back(byte);
    }
}
