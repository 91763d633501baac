#include "decoding/charsets.h"

#include <unicode/uchar.h>

#include "decoding/ansi_code_page.h"
#include "decoding/utf8_codec.h"

namespace qmp {
namespace {

// Name lists of ids 1..23: every name followed by a full stop. A name is found
// by a substring search, so the full stop anchors only the end of a name.
constexpr std::string_view kCharsetNames[] = {
    "us-ascii.ascii.us.ibm367.cp367.",
    "utf-16.",
    "utf-8.",
    "iso-8859-1.latin1.ibm819.cp819.",
    "iso-8859-2.latin2.",
    "iso-8859-3.latin3.",
    "iso-8859-4.latin4.",
    "iso-8859-5.cyrillic.",
    "iso-8859-6.arabic.",
    "iso-8859-7.greek.greek8.",
    "iso-8859-8.hebrew.",
    "iso-8859-9.latin5.",
    "iso-8859-15.latin9.",
    "windows-1250.",
    "windows-1251.",
    "windows-1252.",
    "windows-1253.",
    "windows-1254.",
    "windows-1255.",
    "windows-1256.",
    "windows-1257.",
    "windows-1258.",
    "koi8-r.",
};

}  // namespace

CharsetId CharsetFromName(std::string_view name) {
    std::string key;
    key.reserve(name.size() + 1);
    for (char c : name)
        key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    key.push_back('.');
    for (std::size_t i = 0; i < std::size(kCharsetNames); ++i) {
        if (kCharsetNames[i].find(key) != std::string_view::npos) {
            return static_cast<CharsetId>(i + 1);
        }
    }
    return kCharsetUnknown;
}

std::string_view CharsetName(CharsetId id) {
    if (id == kCharsetUnknown || id > std::size(kCharsetNames)) return {};
    const std::string_view names = kCharsetNames[id - 1];
    return names.substr(0, names.find('.'));
}

std::u16string CharsetToWide(std::string_view text, CharsetId id) {
    if (id == kCharsetUtf8) return Utf8ToWide(text);
    const HighHalfTable* own = CharsetHighHalf(id);
    const HighHalfTable& table = own != nullptr ? *own : SystemTable();
    std::u16string wide(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        wide[i] = byte < 0x80 ? char16_t{byte} : table[byte - 0x80];
    }
    return wide;
}

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    utf8::Decode(text, [&wide](char16_t u) { wide.push_back(u); });
    return wide;
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char16_t u : text)
        utf8::Append(u, out);
    return out;
}

char16_t WideLowerChar(char16_t u) {
    if (u >= 0xD800 && u <= 0xDFFF) return u;
    const UChar32 mapped = u_tolower(u);
    return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : u;
}

std::u16string WideLowerCase(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& u : lower)
        u = WideLowerChar(u);
    return lower;
}

}  // namespace qmp
