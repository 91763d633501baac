#pragma once
// The registry of document filters: the file filters.ini in the program's
// folder, section [Filters], one line per extension, for example
//   .pdf=pdftotext -q -enc UTF-8 %1 -
// whose command prints the document's text in UTF-8 on standard output.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmp {

// The command line of the filter for `extension` (with its full stop) in the
// text of a filters.ini: the line's value split at blanks, program first.
// Extensions compare without letter case and the first matching line wins.
// Nothing when no line serves the extension.
std::optional<std::vector<std::string>> FilterCommandFor(std::string_view iniText,
                                                         std::string_view extension);

// The same from the filters.ini in ProgramDir(); no file means no filter.
std::optional<std::vector<std::string>> RegisteredFilterCommand(std::string_view extension);

// `command` with every "%1" in its arguments replaced by `documentPath`.
std::vector<std::string> FilterArguments(const std::vector<std::string>& command,
                                         std::string_view documentPath);

}  // namespace qmp
