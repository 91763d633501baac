#pragma once
// Conversion of paths and names at the edge of the operating system: the
// program holds them as system ANSI text, the file system takes UTF-8.

#include <string>
#include <string_view>

namespace qmp {

// The UTF-8 path to hand to the operating system for a system ANSI path.
std::string ToOsPath(std::string_view ansiPath);

// A name read from the file system (UTF-8) as system ANSI text: characters the
// code page lacks, and each byte that is not part of a valid UTF-8 sequence,
// become "?".
std::string FromOsName(std::string_view osName);

// True when the system code page holds the name `osName` as read from a
// folder: FromOsName gives a name that leads back to it, so the program can
// open the file under the name it holds.
bool IsHeldName(std::string_view osName);

}  // namespace qmp
