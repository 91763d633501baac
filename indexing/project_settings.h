#pragma once
// Project-wide indexing settings that reading a project's set.xml changes
// (LoadRatingSettings); a key that set.xml leaves out keeps the value of the
// project read before it. UTF8Mode lives beside the database-text conversions
// (decoding/database_text.h); IndexDepthLimit, ProgrammingLanguageMode,
// FileNameCaptionMode and the extension text are program values of the core
// (core/program_values.h). The rest is here.

#include <string>
#include <string_view>
#include <vector>

#include "core/program_values.h"

namespace qmp {

// Marker before a title inside a script-built page; empty: none.
extern std::string JSPageTitleSign;
// Marker before a description inside a script-built page; empty: none.
extern std::string JSPageDescSign;
// Folder names a scan does not enter, as written in set.xml.
extern std::string StopDirs;

// The extension list derived from the extension text (ExtensionList): the
// file types a scan takes, one entry each.
extern std::vector<std::string> Extensions;
// The stop-folder list derived from StopDirs.
extern std::vector<std::string> StopDirList;

// Start-up value of IndexDepthLimit, in bytes.
inline constexpr std::int32_t kDefaultIndexDepthLimit = 100000;

// Rebuilds Extensions and StopDirList from their texts.
void RebuildDerivedLists();

// `text` cut at every byte that is neither a letter (system letter test) nor a
// digit; the non-empty pieces, as written.
std::vector<std::string> SplitExtensionText(std::string_view text);

// `text` cut at every byte that is not a letter, a digit, "-", "." or "_"; the
// non-empty pieces (so folder names with spaces cannot be listed).
std::vector<std::string> SplitStopDirs(std::string_view text);

// Puts every indexing switch (UTF8Mode and the core's included) back to its
// start-up value, and the lists with them.
void ResetProjectSettings();

}  // namespace qmp
