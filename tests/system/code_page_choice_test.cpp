#include "system/code_page_choice.h"

#include <gtest/gtest.h>

#include "decoding/ansi_code_page.h"
#include "tests/support/scoped_env.h"

namespace qmp {
namespace {

using test::ScopedEnv;

TEST(CodePageForLocale, LanguagesPickTheirWindowsCodePage) {
    const std::pair<const char*, const char*> cases[] = {
        {"ru_RU.UTF-8", "windows-1251"}, {"uk", "windows-1251"},
        {"pl_PL", "windows-1250"},       {"el_GR.UTF-8", "windows-1253"},
        {"tr_TR", "windows-1254"},       {"he_IL", "windows-1255"},
        {"fa_IR", "windows-1256"},       {"lv_LV", "windows-1257"},
        {"vi_VN", "windows-1258"},       {"sr_RS@latin", "windows-1251"},
        {"de_DE.UTF-8", "windows-1252"}, {"C", "windows-1252"},
        {"POSIX", "windows-1252"},       {"", "windows-1252"},
    };
    for (const auto& [locale, page] : cases) {
        EXPECT_EQ(CodePageForLocale(locale), CharsetFromName(page)) << locale;
    }
}

TEST(ChooseSystemCodePage, EnvironmentVariableThenLocaleOrder) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv ctype("LC_CTYPE", "bg_BG.UTF-8");
    ScopedEnv lang("LANG", "cs_CZ.UTF-8");
    {
        ScopedEnv page("QMPLIT_CODEPAGE", "KOI8-R");
        EXPECT_EQ(ChooseSystemCodePage(), 23);
    }
    {
        // A name without a table of its own (utf-8) does not choose the code page.
        ScopedEnv page("QMPLIT_CODEPAGE", "utf-8");
        EXPECT_EQ(ChooseSystemCodePage(), CharsetFromName("windows-1251"));
    }
    ScopedEnv page("QMPLIT_CODEPAGE", nullptr);
    EXPECT_EQ(ChooseSystemCodePage(), CharsetFromName("windows-1251"));
    {
        ScopedEnv allSet("LC_ALL", "hu_HU");
        EXPECT_EQ(ChooseSystemCodePage(), CharsetFromName("windows-1250"));
    }
    ScopedEnv noCtype("LC_CTYPE", nullptr);
    EXPECT_EQ(ChooseSystemCodePage(), CharsetFromName("windows-1250"));
    ScopedEnv noLang("LANG", nullptr);
    EXPECT_EQ(ChooseSystemCodePage(), kCharsetWindows1252);
}

TEST(InitSystemCodePage, MakesTheChoiceCurrent) {
    ScopedEnv page("QMPLIT_CODEPAGE", "windows-1253");
    InitSystemCodePage();
    EXPECT_EQ(SystemCodePage(), CharsetFromName("windows-1253"));
    EXPECT_EQ(SystemTable()[0xC1 - 0x80], u'\u0391');
    SetSystemCodePage(kCharsetWindows1252);
}

}  // namespace
}  // namespace qmp
