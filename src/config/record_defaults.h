#pragma once

#include "config/config_record.h"

// The values of a first run, put into a record that carries no valid signature. The transmit
// panel's fields get the values its controls start with on a first run.
inline void ApplyRecordDefaults(ConfigRecord& config) {
    if (config.signature == ConfigRecord::kSignature) return;
    config.baudRate = 115200;
    config.dynamicDisplay = 1;
    config.busRate = 250000;
    config.signature = ConfigRecord::kSignature;
    config.txDlcIndex = 8;
    config.txExtended = 1;
    config.txId = 0x01234567;
    for (uint8_t i = 0; i < 8; ++i) config.txData[i] = i;
    config.loopback = 1;
    config.gapIndex = 6;
    if (config.filterCount >= 0 && config.filterCount < ConfigRecord::kMaxFilters) {
        FilterEntry& added = config.filters[config.filterCount++];
        added.id = 0x01234567;
        added.mask = 0x0FFFFFF0;
        added.extended = 1;
    }
}
