#pragma once
// Which bytes make up a word of a page, and what an HTML character reference
// (named, decimal or hexadecimal) stands for. Results are byte text in the
// encoding of the page being read; a single space means "the word ends here".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "decoding/charsets.h"

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

// In UTF-8 mode a word is made of characters, not bytes: true for a letter,
// a digit or a combining mark; punctuation, symbols and spaces end words.
bool IsWordCharacter(char32_t ch);

// The character of the HTML entity `name` (the names of HTML 4 and "apos",
// letter case as written), or 0 when there is none of that name.
char32_t NamedEntityCharacter(std::string_view name);

// The first character of `text`, read as text in `charset`: UTF-8 for
// kCharsetUtf8 (a byte that starts no well-formed sequence is a character of
// its own, given as 0), one byte of the charset's table otherwise (the system
// table for names without one). Its length is 0 only for an empty text.
struct TextCharacter {
    char32_t ch = 0;
    std::size_t length = 0;
};
TextCharacter FirstCharacter(std::string_view text, CharsetId charset);

// Gives the next byte of the document (0-255), or -1 at its end.
using NextByteReader = std::function<int()>;

// Reads the rest of the character reference that starts with `current` (an
// "&") and gives its replacement text. Every byte read is consumed, including
// the one that ends the reference. Never fails: the end of the document inside
// a reference gives one NUL byte, a bare ampersand "& ".
//
// In UTF-8 mode a reference gives the character it stands for (named ones
// from the HTML list, decimal and hexadecimal alike), written for text in
// `textCharset`: in UTF-8 when that is kCharsetUtf8, else as the byte of that
// code page (a space when it lacks the character). Only a ";" is consumed
// after it. A code that stands for no character, or for a control character,
// gives a space; 128 to 159 stand for what windows-1252 has there, as
// browsers read them. Text that is no reference stands for itself: it gives
// "&" and the bytes read after it. In ANSI mode a hexadecimal reference is
// read like a decimal one, so that it never gives a control byte.
std::string ReadCharacterReference(const NextByteReader& next, char current,
                                   CharsetId textCharset = kCharsetUtf8);

// The same for a reference held in memory: `rest` is what follows the "&".
// Appends the replacement text to `out` and gives the number of bytes of
// `rest` that the reference consumed. In UTF-8 mode text that is no reference
// gives "&" and consumes nothing.
std::size_t AppendCharacterReference(std::string_view rest, std::string& out,
                                     CharsetId textCharset = kCharsetUtf8);

}  // namespace qmp
