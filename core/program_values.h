#pragma once
// The program-wide values: one of each for the whole process, set by
// InitDefaults (core/start_up.h). UTF8Mode lives with the text conversions
// (decoding/database_text.h); ProgramDir and DocumentsDir are computed on
// demand (system/paths.h).

#include <cstdint>
#include <string>

#include "core/category_table.h"
#include "core/link_table.h"

namespace qmp {

// "searchdb.js": the database's file name inside an engine folder.
extern std::string DefaultDatabaseName;
// Full path of the current search database.
extern std::string DatabasePath;
// "Corvan Quarrymap Lite".
extern std::string AppTitle;
// True while the tables equal the file on disk.
extern bool IsSaved;
// The file types a folder scan takes, comma-separated.
extern std::string ExtensionList;

// The tables of the open database.
extern TCat Categories;
extern TBase Links;

// Project-wide indexing switches; the rating settings file may change them.
extern std::int32_t IndexDepthLimit;  // bytes of a file that the rating reads
extern bool ProgrammingLanguageMode;
extern bool FileNameCaptionMode;

// The main window's bounds, kept in the settings file.
extern int WindowLeft;
extern int WindowTop;
extern int WindowWidth;
extern int WindowHeight;
extern bool WindowMaximized;

}  // namespace qmp
