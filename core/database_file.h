#pragma once
// The database text inside an engine's script file: the four arrays cg, ln,
// ds and kw between the "//Settings" and "//DatabaseEnd" marker lines.

#include <string>
#include <string_view>

#include "core/category_table.h"
#include "core/file_buffer.h"
#include "core/host.h"
#include "core/link_table.h"
#include "system/file_ops.h"

namespace qmp {

inline constexpr std::string_view kSettingsMarker = "//Settings";
inline constexpr std::string_view kEndMarker = "//DatabaseEnd";
inline constexpr std::string_view kV2FormatMarker = "//v2format";

// True when the buffer holds the settings marker and, after it, the end
// marker: a search database that a save can write into.
bool HasDatabaseMarkers(FileBuffer& buffer);

// An entry's text as it goes between single quotes: "'" and backslash get a
// backslash before them; a carriage return becomes one space and a line feed
// is dropped (reading gives the same), so an entry never breaks its line; and
// a "/" after a "/" and a "(" after a "y" or "Y" get a backslash too, so that
// no entry can ever read as a marker line or an array opening.
std::string JsEscape(std::string_view text);
// Appends JsEscape(text) to `out`.
void AppendJsEscaped(std::string& out, std::string_view text);

// Where the arrays of a database text cannot be read to their end as they
// are written: what was read before that point is kept, the rest is not.
struct ReadProblem {
    int line = 0;      // from 1; 0 when the arrays were read whole
    std::string text;  // what is wrong there, naming the line and the array

    explicit operator bool() const { return line > 0; }
};

// An array is read as a script reads it: entries in single or double quotes,
// separated by commas, with blanks, line breaks and comments between them and
// a comma after the last entry allowed, up to the closing parenthesis (and
// through a following .concat([...]) of further entries). Anything else
// where an entry, a comma or the end belongs is a ReadProblem.

// Adds the names of the buffer's cg array to `categories`. A single empty
// entry is an empty table; an empty name among others is a problem.
ReadProblem ReadCategories(FileBuffer& buffer, TCat& categories);
ReadProblem ReadCategories(std::string_view path, TCat& categories);

// Appends the links of the buffer's ln, ds and kw arrays to `links`. The host
// processes its pending messages once per keyword entry.
ReadProblem ReadLinks(FileBuffer& buffer, TBase& links, Host& host);
ReadProblem ReadLinks(std::string_view path, TBase& links, Host& host);

// Writes the marker lines "//v2format" and "//DatabaseBegin" and the cg
// array; false as soon as a write fails.
bool WriteCategories(const TCat& categories, ByteSink& out);

// Writes the ln, ds and kw arrays; false as soon as a write fails. A caption
// that holds carets gets their count after the category number ("2:1^a^b^c"
// is category 2, caption "a^b", URL "c"), which readers that do not know it
// take for the end of the number.
bool WriteLinks(const TBase& links, ByteSink& out);

}  // namespace qmp
