#pragma once
// The one setting of an engine that qmp changes: the name of the database
// file that the search page loads, in qmptp.js and in the page's preload.

#include <string>
#include <string_view>

namespace qmp::cli {

// Sets the value of the `database:` setting in the script text `script` to
// `url` (written between single quotes; it must hold no quote or backslash).
// False, and the text unchanged, when the script has no such setting.
bool SetDatabaseSetting(std::string& script, std::string_view url);

// Sets the address of the page's `<link rel="preload" href="...">` (the
// database, asked for before the page's scripts run) to `url`. False, and
// the page unchanged, when it has no such link.
bool SetDatabasePreload(std::string& page, std::string_view url);

}  // namespace qmp::cli
