#pragma once
// Moving text into and out of the database's encoding, and URL escaping.

#include <string>
#include <string_view>

namespace qmp {

// Program-wide: database text (and rated pages) are UTF-8 when true, system
// ANSI text when false. Read at each call of the conversions below.
extern bool UTF8Mode;

// Text in the character set named `charsetName` (empty: system ANSI), in the
// database's encoding.
std::string ToDatabaseText(std::string_view text, std::string_view charsetName);

// True when ToDatabaseText gives every text in `charsetName` back unchanged
// (in the current mode), so that a reader of many texts can skip it.
bool ToDatabaseTextKeepsText(std::string_view charsetName);

// Database text as system ANSI text ("?" for characters the code page lacks).
std::string FromDatabaseText(std::string_view text);

// Database text lower-cased, in the same encoding.
std::string DatabaseLowerCase(std::string_view text);

// Text fit to be stored in the database: every control character (below
// 0x20, 0x7F and, in UTF-8 mode, U+0080 to U+009F) becomes a space, and in
// UTF-8 mode the text is made well-formed UTF-8: a surrogate pair written as
// two three-byte forms becomes its character, and every other byte that is
// no part of a well-formed sequence is read as a character of the system code
// page (the way a page that mixes in such bytes was written).
std::string StorableText(std::string_view text);

// Percent-encodes every byte but A-Z, a-z, 0-9, "-", "." and "_" (a space is %20).
std::string UrlEncode(std::string_view text);

// Decodes %XX escapes and "+"; a malformed escape gives 0xFF, a cut one "_".
std::string UrlDecode(std::string_view text);

// Sets UTF8Mode for the lifetime of the object and restores it afterwards.
class ScopedUtf8Mode final {
public:
    explicit ScopedUtf8Mode(bool on) : saved_(UTF8Mode) { UTF8Mode = on; }
    ~ScopedUtf8Mode() { UTF8Mode = saved_; }
    ScopedUtf8Mode(const ScopedUtf8Mode&) = delete;
    ScopedUtf8Mode& operator=(const ScopedUtf8Mode&) = delete;

private:
    bool saved_;
};

}  // namespace qmp
