#include "system/code_page_choice.h"

#include <cstdlib>
#include <string_view>

#include "decoding/ansi_code_page.h"
#include "decoding/utf8_codec.h"

namespace qmp {
namespace {

struct LanguageCodePage {
    std::string_view language;
    std::string_view codePage;
};

// The code page a Windows system of each language uses; all others use windows-1252.
constexpr LanguageCodePage kLanguageCodePages[] = {
    {"be", "windows-1251"}, {"bg", "windows-1251"}, {"mk", "windows-1251"}, {"ru", "windows-1251"},
    {"sr", "windows-1251"}, {"uk", "windows-1251"}, {"cs", "windows-1250"}, {"hr", "windows-1250"},
    {"hu", "windows-1250"}, {"pl", "windows-1250"}, {"ro", "windows-1250"}, {"sk", "windows-1250"},
    {"sl", "windows-1250"}, {"sq", "windows-1250"}, {"el", "windows-1253"}, {"tr", "windows-1254"},
    {"az", "windows-1254"}, {"he", "windows-1255"}, {"ar", "windows-1256"}, {"fa", "windows-1256"},
    {"ur", "windows-1256"}, {"et", "windows-1257"}, {"lt", "windows-1257"}, {"lv", "windows-1257"},
    {"vi", "windows-1258"},
};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool HasTable(CharsetId id) {
    return CharsetHighHalf(id) != nullptr;
}

// The code pages with a table in the order they are offered to an author:
// those of Windows, then KOI8-R, then the ISO ones.
constexpr CharsetId kOfferedCodePages[] = {14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
                                           5,  6,  7,  8,  9,  10, 11, 12, 13};

bool HoldsEvery(CharsetId id, const std::u16string& characters) {
    const HighHalfTable& table = *CharsetHighHalf(id);
    for (char16_t c : characters) {
        if (c < 0x80) continue;
        bool held = false;
        for (char16_t t : table)
            held = held || t == c;
        if (!held) return false;
    }
    return true;
}

}  // namespace

CharsetId CodePageForLocale(const std::string& locale) {
    const std::string language = locale.substr(0, locale.find_first_of("_.@"));
    for (const auto& entry : kLanguageCodePages) {
        if (language == entry.language) return CharsetFromName(entry.codePage);
    }
    return kCharsetWindows1252;
}

CharsetId ChooseSystemCodePage() {
    const std::string requested = Environment("QMPLIT_CODEPAGE");
    if (!requested.empty()) {
        const CharsetId id = CharsetFromName(requested);
        if (HasTable(id)) return id;
    }
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const std::string locale = Environment(name);
        if (!locale.empty()) return CodePageForLocale(locale);
    }
    return kCharsetWindows1252;
}

void InitSystemCodePage() {
    SetSystemCodePage(ChooseSystemCodePage());
}

std::string CodePageSettingError() {
    const std::string requested = Environment("QMPLIT_CODEPAGE");
    if (requested.empty() || HasTable(CharsetFromName(requested))) return {};
    std::string shown = requested;
    for (char& c : shown)
        if (c < ' ' || c > '~') c = '?';
    std::string names;
    for (CharsetId id : kOfferedCodePages)
        names += (names.empty() ? "" : ", ") + std::string(CharsetName(id));
    return "QMPLIT_CODEPAGE is set to '" + shown +
           "', which is no code page the program knows. Set it to one of " + names +
           ", or leave it unset to take the one of the language of the locale.";
}

CharsetId CodePageHolding(std::string_view osName) {
    std::u16string characters;
    while (!osName.empty()) {
        char32_t c = 0;
        const std::size_t n = utf8::WellFormedSequence(osName, c);
        if (n == 0 || c > 0xFFFF || utf8::IsSurrogate(c)) return kCharsetUnknown;
        characters.push_back(static_cast<char16_t>(c));
        osName.remove_prefix(n);
    }
    for (CharsetId id : kOfferedCodePages)
        if (HoldsEvery(id, characters)) return id;
    return kCharsetUnknown;
}

UnheldName WhyNotHeld(std::string_view osText) {
    std::string_view rest = osText;
    while (!rest.empty()) {
        char32_t c = 0;
        const std::size_t n = utf8::WellFormedSequence(rest, c);
        if (n == 0 || utf8::IsSurrogate(c)) return {"is not valid UTF-8", "rename it"};
        rest.remove_prefix(n);
    }
    const std::string lacks = "has characters that the code page " +
                              std::string(CharsetName(SystemCodePage())) + " lacks";
    const CharsetId holding = CodePageHolding(osText);
    if (holding == kCharsetUnknown)
        return {lacks + ", and no code page the program knows has them all", "rename it"};
    return {lacks, "start the program with QMPLIT_CODEPAGE=" + std::string(CharsetName(holding)) +
                       ", a code page that has them"};
}

}  // namespace qmp
