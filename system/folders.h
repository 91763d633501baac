#pragma once
// The folder of the per-user settings, and creating a folder with its parents.

#include <string>
#include <string_view>

namespace qmp {

// The sub-path of the settings folder below the configuration home.
inline constexpr std::string_view kSettingsSubDir = "Corvan/Quarrymap/";

// For an installed program, the configuration home followed by `sub`; for a
// portable one (or when there is no configuration home), ProgramDir, without `sub`.
std::string UserSettingsDir(std::string_view sub);

// Creates the folder `path` (system ANSI text) and any missing parents; true
// when it exists afterwards.
bool ForceFolders(std::string_view path);

}  // namespace qmp
