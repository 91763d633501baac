#pragma once
// Program start and end: the program-wide values, the settings file, the
// "/uninstall" switch, and the command line's arguments.

#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"

namespace qmp {

// Sets the program-wide values to their defaults and empties both tables.
void InitDefaults();

// Run before any window exists, with the command-line arguments (without
// the program's own name). Sets the window bounds to their defaults, reads
// the settings file and the installation date. Given "/uninstall" (exactly)
// as the first argument, it opens the uninstall feedback page and gives
// false: the process then ends without writing anything. Otherwise it runs
// InitDefaults and gives true.
bool StartUp(const std::vector<std::string>& arguments);

// Writes the settings file (a failure is shown) and frees both tables.
void ShutDown(Host& host);

// Cuts a command line into arguments: runs of bytes above the blank, where a
// stretch in double quotes may hold blanks and the quotes themselves are
// dropped. An argument that comes out empty is not one.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments after the program's name, as system ANSI text.
std::vector<std::string> ArgumentsFromArgv(int argc, const char* const* argv);

}  // namespace qmp
