#pragma once
// Chooses the system ANSI code page from the environment, once at start.

#include <string>

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

}  // namespace qmp
