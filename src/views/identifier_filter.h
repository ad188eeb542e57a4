#pragma once

#include <cstdint>
#include <string>

// Which identifiers a filter text lets through: empty text all of them; hex digits (an optional
// "0x" before them) the identifiers whose hex digits, without leading zeros, start with them
// ("12" passes 0x12, 0x123 and 0x12345678); two hex numbers with a '-' between them the
// identifiers from the first to the second. Text of any other form passes nothing.
class IdentifierFilter {
  public:
    explicit IdentifierFilter(const std::string& text = {});

    bool Valid() const { return valid_; }
    bool Passes(uint32_t id) const;

  private:
    enum class Kind { All, Prefix, Range };
    Kind kind_ = Kind::All;
    bool valid_ = true;
    std::string prefix_;  // upper-case hex digits
    uint32_t low_ = 0;
    uint32_t high_ = 0;
};
