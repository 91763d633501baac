#pragma once
// Chooses the system ANSI code page from the environment, once at start.

#include <string>
#include <string_view>

#include "decoding/charsets.h"

namespace qmp {

// The code page that the environment asks for: QMPLIT_CODEPAGE when it names a
// code page with a table (ids 5..23); otherwise the one a Windows system of the
// locale's language (LC_ALL, else LC_CTYPE, else LANG) would use.
CharsetId ChooseSystemCodePage();

// The code page a locale's language picks ("ru_RU.UTF-8" gives windows-1251).
CharsetId CodePageForLocale(const std::string& locale);

// Chooses the system code page and makes it current (SetSystemCodePage).
void InitSystemCodePage();

// Why QMPLIT_CODEPAGE cannot be taken: the message when it is set to a name
// that no code page with a table has; empty when it is unset or names one.
// The programs refuse to start with such a value rather than quietly use
// another code page for the names of the files.
std::string CodePageSettingError();

// A code page with a table (ids 5..23) that holds every character of the
// name `osName` (UTF-8, as the system gives names), the Windows code pages
// first; kCharsetUnknown when none does, or when `osName` is no valid UTF-8.
CharsetId CodePageHolding(std::string_view osName);

// Why the system code page cannot hold the name or path `osText` (as the
// system gives it), and what the author can do so that the program takes it:
// two parts of a sentence, "has characters that the code page windows-1252
// lacks" and "start the program with QMPLIT_CODEPAGE=windows-1251, a code
// page that has them" (or "rename it" when no code page would do).
struct UnheldName {
    std::string why;
    std::string remedy;
};
UnheldName WhyNotHeld(std::string_view osText);

}  // namespace qmp
