#pragma once
// The per-user settings file qmplit_us.ini: the main window's bounds.

#include <optional>
#include <string>
#include <string_view>

#include "core/host.h"
#include "system/file_ops.h"

namespace qmp {

inline constexpr std::string_view kSettingsFileName = "qmplit_us.ini";
// %s: the settings file's path.
inline constexpr std::string_view kUnableToWriteMessage = "Unable to write to %s";

// UserSettingsDir of "Corvan/Quarrymap/" followed by "qmplit_us.ini".
std::string SettingsFilePath();

// Reads the window bounds from the settings file at `path` (each key missing
// or not an integer reads as its default); false, with the values left
// alone, when there is no file.
bool LoadSettings(const std::string& path);
bool LoadSettings();

// A further integer of section "Settings" of the file at `path` that a person
// may add by hand ("Jobs=2"); nothing when it is missing or no integer.
std::optional<int> SettingsInteger(const std::string& path, std::string_view key);

// Writes the window bounds into section "Settings" of the file at `path`,
// keys in the order X0, Y0, DX, DY, Maximize, keeping whatever else the file
// holds; creates the file's folder when needed. A failure is shown as
// "Unable to write to <path>" and gives false; the file then stays as it was.
bool SaveSettings(Host& host, const std::string& path, FileOps& ops = SystemFileOps());
bool SaveSettings(Host& host);

}  // namespace qmp
