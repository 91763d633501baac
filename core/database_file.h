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

// An entry's text as it goes between single quotes: "'" and backslash get a
// backslash before them; a carriage return becomes one space and a line feed
// is dropped (reading gives the same), so an entry never breaks its line; and
// a "/" after a "/" and a "(" after a "y" or "Y" get a backslash too, so that
// no entry can ever read as a marker line or an array opening.
std::string JsEscape(std::string_view text);
// Appends JsEscape(text) to `out`.
void AppendJsEscaped(std::string& out, std::string_view text);

// Adds the names of the buffer's cg array to `categories`.
void ReadCategories(FileBuffer& buffer, TCat& categories);
void ReadCategories(std::string_view path, TCat& categories);

// Appends the links of the buffer's ln, ds and kw arrays to `links`. The host
// processes its pending messages once per keyword entry.
void ReadLinks(FileBuffer& buffer, TBase& links, Host& host);
void ReadLinks(std::string_view path, TBase& links, Host& host);

// Writes the marker lines "//v2format" and "//DatabaseBegin" and the cg
// array; false as soon as a write fails.
bool WriteCategories(const TCat& categories, ByteSink& out);

// Writes the ln, ds and kw arrays; false as soon as a write fails.
bool WriteLinks(const TBase& links, ByteSink& out);

}  // namespace qmp
