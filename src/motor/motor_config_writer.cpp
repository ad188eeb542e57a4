#include "motor/motor_config_writer.h"

void RequestMotorConfig(const MotorTransmit& transmit) {
    transmit(MotorConfigRequest(), false);
}

bool WriteMotorConfig(const MotorConfig& config, const MotorTransmit& transmit,
                      const std::function<void(int milliseconds)>& pause) {
    RequestMotorConfig(transmit);
    if (!SpeedLimitsInOrder(config)) return false;
    for (const CANBuffer& page : MotorConfigPages(config)) {
        transmit(page, true);
        pause(kConfigPageGapMs);
    }
    RequestMotorConfig(transmit);
    return true;
}
