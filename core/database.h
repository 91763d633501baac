#pragma once
// Opening, importing and saving the current search database: the tables
// Categories and Links and the file at DatabasePath (core/program_values.h).

#include <string>
#include <string_view>

#include "core/category_table.h"
#include "core/host.h"
#include "core/link_table.h"
#include "system/file_ops.h"

namespace qmp {

// The messages of a save that fails.
inline constexpr std::string_view kCannotRenameMessage =
    "Cannot rename file. Saving has not completed.";
inline constexpr std::string_view kNoDatabaseMessage =
    "A search engine database is not found in this file. Saving has not completed.";
// %s: the temporary file's path.
inline constexpr std::string_view kCannotWriteMessage =
    "Cannot write file %s. Saving has not completed.";

// Makes `path` the current database and reads both tables from it (a file
// that cannot be read leaves them empty); the rating settings are loaded for
// its folder first, and the list is redrawn in full. DatabasePath becomes
// the file in its real folder (RealFilePath), so that a database reached by
// another way (a relative path, a linked folder) gives its links the same URLs.
void OpenDatabase(Host& host, std::string_view path);

// Appends the links of the database file at `path`; their category numbers
// are kept as they are. DatabasePath does not change.
void ImportLinks(Host& host, std::string_view path);

// Writes the tables into the file at DatabasePath between its markers,
// through a temporary file that replaces it only when complete. Gives whether
// the save succeeded; a failure is shown as an "Error" message and leaves the
// database file as it was.
bool SaveDatabase(Host& host, FileOps& ops = SystemFileOps());

// Copies the current database file to `path` (replacing a file there), makes
// `path` (in its real folder) the current database, and saves into it.
bool SaveDatabaseAs(Host& host, std::string_view path, FileOps& ops = SystemFileOps());

// Makes `path` (an engine file with both markers; in its real folder) the
// current database and saves into it.
bool ExportDatabase(Host& host, std::string_view path, FileOps& ops = SystemFileOps());

// The save itself: writes `categories` and `links` into the database file at
// `path`, as SaveDatabase does.
bool SaveDatabaseFile(Host& host, FileOps& ops, const std::string& path, const TCat& categories,
                      const TBase& links);

}  // namespace qmp
