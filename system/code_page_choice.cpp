#include "system/code_page_choice.h"

#include <cstdlib>
#include <string_view>

#include "decoding/ansi_code_page.h"

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
        if (CharsetHighHalf(id) != nullptr) return id;
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

}  // namespace qmp
