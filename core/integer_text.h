#pragma once
// Integers read from text: the lenient reading of database entries and page
// metas, and the strict one of numbers a person gives.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qmp {

// The integer at the start of `text`: spaces (0x20) are skipped, then an
// optional sign, then decimal digits, or hexadecimal digits after "$", "x",
// "X", "0x" or "0X". Reading stops at the first other byte and the digits
// read so far give the value ("3a" gives 3; empty or non-numeric text gives
// 0); the value wraps to 32 bits.
std::int32_t IntegerPrefix(std::string_view text);

// The whole number `text` spells in decimal: an optional sign and at least one
// digit, nothing else, within 32 bits. Nothing otherwise.
std::optional<std::int32_t> DecimalInteger(std::string_view text);

}  // namespace qmp
