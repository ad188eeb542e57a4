#pragma once

#include <cstdint>
#include <string>

// The accepted values of one checked edit (both bounds accepted) and its bit in its group.
struct FieldRange {
    int low;
    int high;
    uint32_t bit;
};

// Motor Control group.
inline constexpr FieldRange kRpmRange{500, 6000, 1};
inline constexpr FieldRange kRpmPercentRange{0, 100, 2};
// Configuration group. The CAN time-out travels in one byte, so it stops at 255.
inline constexpr FieldRange kDefaultRpmRange{500, 6000, 4};
inline constexpr FieldRange kMinRpmRange{500, 6000, 8};
inline constexpr FieldRange kMaxRpmRange{500, 6000, 16};
inline constexpr FieldRange kTempShutdownRange{90, 149, 32};
inline constexpr FieldRange kCanTimeoutRange{0, 255, 64};

inline constexpr const char* kSpeedLimitsErrorText = "Min RPM must be less than Max RPM";

// "Enter Value between <low> and <high>".
std::string RangeErrorText(const FieldRange& range);

// A group of checked edits that share one error text. An edit's bit stays set while it holds
// a value out of its range; the group sends nothing while any bit is set.
class RangeGroup {
  public:
    // Sets or clears the edit's bit; true when `value` is out of range.
    bool Check(int value, const FieldRange& range);
    bool AllInRange() const { return mask_ == 0; }
    uint32_t mask() const { return mask_; }

  private:
    uint32_t mask_ = 0;
};
