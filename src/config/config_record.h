#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One acceptance filter: frames whose identifier matches `id` in the bits set in `mask`.
struct FilterEntry {
    uint32_t id = 0;
    uint32_t mask = 0;
    uint8_t extended = 1;
    uint8_t reserved[3] = {};
};

// Every setting that survives a restart. The configuration file stores this record byte by
// byte (keys B0 ... B451), so its layout is fixed: multi-byte fields are little-endian on the
// machines we build for, and the offsets are checked below.
struct ConfigRecord {
    static constexpr int kMaxFilters = 32;
    static constexpr uint32_t kSignature = 0x19110B62;

    char savedPort[8] = {};
    int32_t baudRate = 0;
    int32_t windowHeight = 0;
    int32_t windowWidth = 0;
    uint8_t txDlcIndex = 0;
    uint8_t txExtended = 0;
    uint8_t txResponse = 0;
    uint8_t txData[8] = {};
    uint8_t reserved31 = 0;
    uint32_t txId = 0;
    int32_t filterCount = 0;
    uint8_t useFilters = 0;
    uint8_t reserved41[3] = {};
    FilterEntry filters[kMaxFilters] = {};
    uint8_t loopback = 0;
    uint8_t listenOnly = 0;
    uint8_t reserved430[2] = {};
    int32_t busRate = 0;
    int32_t txLineCount = 0;
    int32_t gapIndex = 0;
    uint8_t lcdOn = 0;
    uint8_t dynamicDisplay = 0;
    uint8_t reserved446[2] = {};
    uint32_t signature = 0;
};

static_assert(sizeof(FilterEntry) == 12);
static_assert(offsetof(FilterEntry, mask) == 4);
static_assert(offsetof(FilterEntry, extended) == 8);
static_assert(std::is_standard_layout_v<ConfigRecord>);
static_assert(sizeof(ConfigRecord) == 452);
static_assert(offsetof(ConfigRecord, baudRate) == 8);
static_assert(offsetof(ConfigRecord, windowHeight) == 12);
static_assert(offsetof(ConfigRecord, windowWidth) == 16);
static_assert(offsetof(ConfigRecord, txDlcIndex) == 20);
static_assert(offsetof(ConfigRecord, txExtended) == 21);
static_assert(offsetof(ConfigRecord, txResponse) == 22);
static_assert(offsetof(ConfigRecord, txData) == 23);
static_assert(offsetof(ConfigRecord, txId) == 32);
static_assert(offsetof(ConfigRecord, filterCount) == 36);
static_assert(offsetof(ConfigRecord, useFilters) == 40);
static_assert(offsetof(ConfigRecord, filters) == 44);
static_assert(offsetof(ConfigRecord, loopback) == 428);
static_assert(offsetof(ConfigRecord, listenOnly) == 429);
static_assert(offsetof(ConfigRecord, busRate) == 432);
static_assert(offsetof(ConfigRecord, txLineCount) == 436);
static_assert(offsetof(ConfigRecord, gapIndex) == 440);
static_assert(offsetof(ConfigRecord, lcdOn) == 444);
static_assert(offsetof(ConfigRecord, dynamicDisplay) == 445);
static_assert(offsetof(ConfigRecord, signature) == 448);

// A fresh record is all zero but for the filter entries, which start as extended.
static_assert(ConfigRecord{}.filters[ConfigRecord::kMaxFilters - 1].extended == 1);
static_assert(ConfigRecord{}.signature == 0);
