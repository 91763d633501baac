#pragma once
// Turning one file into one link record: the caption, description and
// character set from the page's head, an optional category meta, the markers
// of script-built pages, and the keywords of the keyword rating. Audio files
// are read through a generated description page.

#include <string>
#include <string_view>

#include "core/link_table.h"
#include "indexing/rating_settings.h"

namespace qmp {

// The description of a file whose extension no route takes.
inline constexpr std::string_view kUnsupportedExtensionMessage =
    "Unsupported file extension. Please upgrade to another edition";

// The link record of the file at `filePath` for the database at
// `databasePath`, whose folder gives the rating settings and the base of the
// URL. The route follows the extension: the HTML family, ".txt" and ".m3u"
// are read as pages, ".mp3" and ".ogg" through their description page, and
// any other extension gives an empty record with the refusal message as its
// description. All text comes out in the database encoding. A window that
// waits on it shows the wait cursor around it.
void ExtractFile(std::string_view filePath, std::string_view databasePath, TBaseRecord& record);

// ExtractFile with the rating settings of the document given, for a caller
// that follows the settings files itself (ProjectSettingsWatch). Looks at no
// settings file and changes no program-wide value: any number of threads may
// extract at once, while the project-wide switches stay as they are.
void ExtractFileWith(const DocumentSettings& settings, std::string_view filePath,
                     std::string_view databasePath, TBaseRecord& record);

// Reads the page at `filePath` into `record`; `namePath` is the file whose
// name gives the file-name words and the file-name caption (the page itself,
// except for a generated page that stands in for another file). A file that
// cannot be read reads as empty.
void ExtractHtml(std::string_view filePath, std::string_view namePath, TBaseRecord& record,
                 std::string_view databasePath);

// Reads the audio file at `filePath` through its description page, written
// to a temporary file for the time of the reading; the URL is the audio
// file's own. A page that cannot be written leaves the record as it was.
void ExtractAudio(std::string_view filePath, std::string_view databasePath, TBaseRecord& record);

// `text` with the escapes of a script string literal undone: a backslash
// before "'" or before a backslash gives that byte, before any other byte it
// is dropped; a backslash at the very end stays.
std::string JsUnescape(std::string_view text);

// A fresh unused name in the temporary folder starting with "tor", to which
// callers append ".html" or ".txt"; empty when none can be made.
std::string TempPagePath();

}  // namespace qmp
