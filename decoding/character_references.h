#pragma once
// Which bytes make up a word of a page, and what an HTML character reference
// (named, decimal or hexadecimal) stands for. Results are byte text in the
// encoding of the page being read; a single space means "the word ends here".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qmp {

// True when `byte` belongs to a word: an ANSI letter, or any byte from 0x80 up
// in UTF-8 mode (so that UTF-8 sequences stay inside words). Digits are not.
bool IsWordChar(unsigned char byte);

// The named-entity table: for each entity its name, "[", its one-byte
// replacement and "]", with nothing between entries (832 bytes).
std::string_view EntityTable();

// The replacement of the first entity whose name ends with `name` (a plain,
// case-sensitive search of the table); "&" followed by `name` when none does.
std::string EntityLookup(std::string_view name);

// 0-9 for "0"-"9", 10-15 for "a"-"f" and "A"-"F", 0 for every other byte.
int HexDigitValue(unsigned char byte);

// The hexadecimal value of `digits` (32-bit, wrapping; a non-digit counts as
// 0), or `defaultValue` when `digits` is empty.
std::int32_t HexToIntDef(std::string_view digits, std::int32_t defaultValue);

// The decimal value of `digits` (32-bit, wrapping), or `defaultValue` when
// `digits` is empty or holds anything but "0"-"9".
std::int32_t DecToIntDef(std::string_view digits, std::int32_t defaultValue);

// The text of a numeric reference to `code` (its low 16 bits): for a letter its
// UTF-8 form in UTF-8 mode and "?" otherwise; a single space for anything else.
std::string NumericReferenceText(std::int32_t code);

// Gives the next byte of the document (0-255), or -1 at its end.
using NextByteReader = std::function<int()>;

// Reads the rest of the character reference that starts with `current` (an
// "&") and gives its replacement text. Every byte read is consumed, including
// the one that ends the reference. Never fails: the end of the document inside
// a reference gives one NUL byte, a bare ampersand "& ".
std::string ReadCharacterReference(const NextByteReader& next, char current);

// The same for a reference held in memory: `rest` is what follows the "&".
// Appends the replacement text to `out` and gives the number of bytes of
// `rest` that the reference consumed.
std::size_t AppendCharacterReference(std::string_view rest, std::string& out);

}  // namespace qmp
