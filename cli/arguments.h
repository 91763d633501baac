#pragma once
// Turning command-line arguments into the program's values: paths as the
// program holds them, and whole numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qmp::cli {

// The path argument `osArgument` (as the operating system gives it) made
// full: a relative path is joined to `currentDir` ("." is that folder itself,
// and a leading "./" is dropped); nothing else is changed.
std::string AbsoluteOsPath(std::string_view osArgument, std::string_view currentDir);

// AbsoluteOsPath as the program holds paths (system ANSI text). Nothing when
// the system code page cannot spell it: the program could not open it.
std::optional<std::string> ProgramPath(std::string_view osArgument, std::string_view currentDir);

// The whole number `text` spells: optional leading blanks, an optional sign,
// then decimal digits, or hexadecimal digits after "$" or "0x"; nothing may
// follow, and the value must fit in 32 bits.
std::optional<std::int32_t> ParseInteger(std::string_view text);

}  // namespace qmp::cli
