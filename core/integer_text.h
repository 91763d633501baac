#pragma once
// The lenient integer reading of database entries and page metas.

#include <cstdint>
#include <string_view>

namespace qmp {

// The integer at the start of `text`: spaces (0x20) are skipped, then an
// optional sign, then decimal digits, or hexadecimal digits after "$", "x",
// "X", "0x" or "0X". Reading stops at the first other byte and the digits
// read so far give the value ("3a" gives 3; empty or non-numeric text gives
// 0); the value wraps to 32 bits.
std::int32_t IntegerPrefix(std::string_view text);

}  // namespace qmp
