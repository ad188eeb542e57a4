#include "traffic_generator.h"

#include "common/can_limits.h"

TrafficGenerator::TrafficGenerator(const GeneratorSettings& settings)
    : settings_(settings), random_(settings.seed) {}

CanId TrafficGenerator::NextId() {
    if (!settings_.ids.empty()) return settings_.ids[produced_ % settings_.ids.size()];
    bool extended = settings_.idKind == IdKind::Extended;
    if (settings_.idKind == IdKind::Mixed) extended = (random_() & 1) != 0;
    return CanId{std::uniform_int_distribution<uint32_t>(0, MaxId(extended))(random_), extended};
}

bool TrafficGenerator::Next(TimedFrame& out) {
    const CanId id = NextId();
    const uint8_t dlc =
        settings_.dlcMix.empty() ? 0 : settings_.dlcMix[random_() % settings_.dlcMix.size()];
    uint8_t data[8] = {};
    for (int i = 0; i < dlc; ++i) data[i] = static_cast<uint8_t>(random_());
    out.frame = CANBuffer(id.id, false, id.extended, dlc, data);
    out.dueUs = settings_.rate == 0 ? 0 : produced_ * 1000000 / settings_.rate;
    ++produced_;
    return true;
}
