#pragma once
// Text on its way to a terminal: names come from file systems and databases,
// and a control character in them could move the cursor, rewrite the line,
// or change the terminal's settings.

#include <string>
#include <string_view>

namespace qmp::cli {

// `utf8` with every control character shown as a visible escape: C0 bytes
// and DEL as "\x1b", C1 characters (U+0080 to U+009F) as "\u009b". A line
// feed stays a line break when `keepLineBreaks`.
std::string TerminalText(std::string_view utf8, bool keepLineBreaks = true);

}  // namespace qmp::cli
