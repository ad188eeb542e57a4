#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Number formatting shared by the log formats; every routine appends to `out`.

// Upper-case hexadecimal, zero-padded to at least `minDigits`.
void AppendHex(std::string& out, uint32_t value, size_t minDigits);

// Decimal, zero-padded to at least `minDigits`.
void AppendDecimal(std::string& out, uint32_t value, size_t minDigits = 1);

// A device time stamp (0.5 us ticks) as seconds and six digits of microseconds, for example
// 3000001 ticks as "1.500000": the half microsecond is dropped, so the microsecond shown is the
// one the frame arrived in.
void AppendSeconds(std::string& out, uint32_t ticks);
