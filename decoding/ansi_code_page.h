#pragma once
// The system ANSI code page: the single-byte code page in which the program
// keeps file names and, outside UTF-8 mode, database text. Letter tests and
// case mappings follow the code page's characters through ICU.

#include <string>
#include <string_view>

#include "decoding/charsets.h"

namespace qmp {

// Makes `id` (5..23) the system code page and rebuilds the system table from
// it. Any other id is ignored. Before the first call the code page is windows-1252.
void SetSystemCodePage(CharsetId id);

// The current system code page (5..23).
CharsetId SystemCodePage();

// The system table: the character of each byte 0x80..0xFF of the system code page.
const HighHalfTable& SystemTable();

// The character of one byte of system ANSI text.
char16_t AnsiCharToWide(unsigned char byte);

// The byte of `ch` in the system code page, or `defaultChar` when it lacks it.
char WideCharToAnsi(char16_t ch, char defaultChar = '?');

// Converts UTF-16 to system ANSI text, one byte per code unit; code units the
// code page lacks become `defaultChar` (no best-fit substitution).
std::string WideToAnsi(std::u16string_view text, char defaultChar = '?');

// The ANSI letter test: an ASCII letter below 0x80, else whether the byte's
// character is alphabetic.
bool AnsiIsAlpha(unsigned char byte);

// The wide letter test; surrogate code units are not letters.
bool WideIsAlpha(char16_t ch);

// Case mappings by the system's ANSI rules, byte by byte: a byte whose mapped
// character the code page lacks stays as it was.
unsigned char AnsiUpperChar(unsigned char byte);
unsigned char AnsiLowerChar(unsigned char byte);
// AnsiLowerChar of every byte (256 entries), for readers of many bytes; the
// entries follow the code page when it changes.
const unsigned char* AnsiLowerTable();
// AnsiUpperChar of every byte, in the same way.
const unsigned char* AnsiUpperTable();
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

}  // namespace qmp
