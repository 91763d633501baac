#pragma once
// Character sets the program recognises, and conversions between single-byte
// text, UTF-16 and UTF-8. Text is bytes (std::string); wide text is UTF-16.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qmp {

// Identifies a character set: 0 (unknown) to 23; see CharsetFromName.
using CharsetId = std::uint8_t;

inline constexpr CharsetId kCharsetUnknown = 0;
inline constexpr CharsetId kCharsetUtf8 = 3;
inline constexpr CharsetId kFirstTableCharset = 5;  // iso-8859-2
inline constexpr CharsetId kLastTableCharset = 23;  // koi8-r
inline constexpr CharsetId kCharsetWindows1252 = 16;

// The characters of bytes 0x80..0xFF of one code page, entry i for byte 0x80 + i.
using HighHalfTable = std::array<char16_t, 128>;

// The identifier whose name list holds `name` (lower-cased A-Z, followed by a
// full stop) as a substring; 0 when none does.
CharsetId CharsetFromName(std::string_view name);

// The first name of the identifier's name list ("windows-1251"); empty for 0
// and for an identifier beyond the list.
std::string_view CharsetName(CharsetId id);

// The fixed high-half table of ids 5..23; nullptr for every other id.
const HighHalfTable* CharsetHighHalf(CharsetId id);

// Decodes single-byte text (or UTF-8 for id 3) to UTF-16. Ids without a table
// of their own use the system table.
std::u16string CharsetToWide(std::string_view text, CharsetId id);

// Decodes UTF-8 without validation: every byte sequence yields output, and a
// sequence cut short by the end of the text yields nothing.
std::u16string Utf8ToWide(std::string_view text);

// Encodes each UTF-16 code unit on its own (surrogates are not combined).
std::string WideToUtf8(std::u16string_view text);

// Simple lower-case mapping of each code unit; surrogates unchanged.
std::u16string WideLowerCase(std::u16string_view text);
char16_t WideLowerChar(char16_t ch);

}  // namespace qmp
