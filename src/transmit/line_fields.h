#pragma once

#include <optional>
#include <string_view>

// Longest part of a transmit line that is read; the rest is ignored.
constexpr size_t kTxLineReadLimit = 999;

// Reads a transmit line field by field the way the C library's strtok does: separators before
// a field are skipped and a run of them counts as one, so an empty field does not exist and
// the next non-empty one takes its place. The separator that ends a field is consumed.
class LineFields {
  public:
    explicit LineFields(std::string_view line) : rest_(line) {}

    // The next field ended by any character of `separators`, or nothing when none is left.
    std::optional<std::string_view> Next(std::string_view separators);

  private:
    std::string_view rest_;
};

// The DLC field as strtol reads it (blanks, a sign, digits up to the first other character; 0
// without digits), cut to the eight bytes a frame holds: above 8 gives 8, negative gives 0.
int ReadDlcField(std::string_view field);

// The text without its leading white space.
std::string_view SkipLeadingSpace(std::string_view text);
