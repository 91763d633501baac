#pragma once
// Opening, importing and saving the current search database: the tables
// Categories and Links and the file at DatabasePath (core/program_values.h).
// Whoever saves holds the database's lock (core/database_lock.h).

#include <string>
#include <string_view>

#include "core/category_table.h"
#include "core/database_file.h"
#include "core/host.h"
#include "core/link_table.h"
#include "system/file_ops.h"

namespace qmp {

// The end of every message of a save that fails.
inline constexpr std::string_view kNotCompleted = "Saving has not completed.";
inline constexpr std::string_view kNoDatabaseMessage =
    "A search engine database is not found in this file. Saving has not completed.";

// Makes `path` the current database and reads both tables from it (a file
// that cannot be read leaves them empty); the rating settings are loaded for
// its folder first, and the list is redrawn in full. DatabasePath becomes
// the file in its real folder (RealFilePath), so that a database reached by
// another way (a relative path, a linked folder) gives its links the same
// URLs. When the file's arrays cannot be read whole, the tables hold what was
// read before the problem, which is given back; SaveDatabase then never
// replaces that file.
ReadProblem OpenDatabase(Host& host, std::string_view path);

// Appends the links of the database file at `path`; their category numbers
// are kept as they are. DatabasePath does not change. Gives why the links
// could not all be read, if so (those before the problem are appended).
ReadProblem ImportLinks(Host& host, std::string_view path);

// Writes the tables into the file at DatabasePath between its markers,
// through a temporary file beside it that takes the database's name in one
// step when complete (a symbolic link is saved into the file it names, which
// keeps its permissions and, where the system allows, its owner). Gives
// whether the save succeeded; a failure is shown as an "Error" message that
// names its cause, and leaves the database file as it was. A read-only file
// is not replaced, nor one whose arrays were not read whole, nor one that
// another program changed since it was read (see AcceptDatabaseOnDisk).
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

// Why a save into the database file at `path` cannot succeed, found without
// changing anything, so that a long scan need not end in a failed save: the
// file is read-only, or no temporary file can be made beside it. Empty when
// nothing stands in the way.
std::string SaveProblem(std::string_view path, FileOps& ops = SystemFileOps());

// The copy of the database at `path` that an interrupted save left beside it
// (its name followed by "~temp1~"), or empty when there is none. Saves keep
// such a copy: only the author removes it.
std::string InterruptedSaveBackup(std::string_view path);

// True when `path` is the database that was last read or saved and another
// program has changed its file since, so that a save would refuse it.
bool ChangedOnDisk(std::string_view path);

// Takes the current database file as it now is on disk for the one that was
// read, so that the next save replaces it although another program changed
// it (after the author agreed). A file whose arrays were not read whole
// stays protected.
void AcceptDatabaseOnDisk();

}  // namespace qmp
