#pragma once
// The one setting of an engine's qmptp.js that qmp changes: the name of the
// database file that the search page loads.

#include <string>
#include <string_view>

namespace qmp::cli {

// Sets the value of the `database:` setting in the script text `script` to
// `url` (written between single quotes; it must hold no quote or backslash).
// False, and the text unchanged, when the script has no such setting.
bool SetDatabaseSetting(std::string& script, std::string_view url);

}  // namespace qmp::cli
