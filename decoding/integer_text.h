#pragma once
// The plain integer reader used wherever the program takes a number out of
// text written by a person or another program (settings values, category
// numbers of links and pages).

#include <cstdint>
#include <string_view>

namespace qmp {

// The integer at the start of `text`: spaces (0x20) skipped, an optional sign,
// then decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or
// "0X", up to the first other byte. The digits read so far give the value
// (12abc gives 12, 1.5 gives 1), wrapping to 32 bits; no digits give 0.
std::int32_t TextToInteger(std::string_view text);

}  // namespace qmp
