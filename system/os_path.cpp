#include "system/os_path.h"

#include <algorithm>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/utf8_codec.h"

namespace qmp {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the valid UTF-8 sequence at the start of `s` (1-4), or 0 when the
// bytes there are not one (overlong forms, surrogates and values above
// U+10FFFF are not valid). `codePoint` receives its value.
std::size_t ValidSequence(std::string_view s, char32_t& codePoint) {
    const std::size_t n = utf8::WellFormedSequence(s, codePoint);
    return utf8::IsSurrogate(codePoint) ? 0 : n;
}

}  // namespace

std::string ToOsPath(std::string_view ansiPath) {
    if (IsAscii(ansiPath)) return std::string(ansiPath);
    return WideToUtf8(CharsetToWide(ansiPath, kCharsetUnknown));
}

std::string FromOsName(std::string_view osName) {
    if (IsAscii(osName)) return std::string(osName);
    std::string out;
    out.reserve(osName.size());
    while (!osName.empty()) {
        char32_t cp = 0;
        const std::size_t n = ValidSequence(osName, cp);
        if (n == 0) {
            out.push_back('?');
            osName.remove_prefix(1);
            continue;
        }
        if (cp > 0xFFFF) {
            out += "??";  // a surrogate pair: two code units the code page lacks
        } else {
            out.push_back(WideCharToAnsi(static_cast<char16_t>(cp)));
        }
        osName.remove_prefix(n);
    }
    return out;
}

bool IsHeldName(std::string_view osName) {
    return IsAscii(osName) || ToOsPath(FromOsName(osName)) == osName;
}

}  // namespace qmp
