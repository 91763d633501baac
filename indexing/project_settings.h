#pragma once
// Project-wide indexing switches. They start with the values below and are
// changed only by reading a project's set.xml (LoadRatingSettings); a key that
// set.xml leaves out keeps the value of the project read before it. UTF8Mode
// lives beside the database-text conversions (decoding/database_text.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmp {

// Marker before a title inside a script-built page; empty: none.
extern std::string JSPageTitleSign;
// Marker before a description inside a script-built page; empty: none.
extern std::string JSPageDescSign;
// Folder names a scan does not enter, as written in set.xml.
extern std::string StopDirs;
// How far into a file the rating reads, in bytes (start-up value 100000).
extern std::int64_t IndexDepthLimit;
// Programming-language word rules of the tokenizer (snake_case, c++/cli, ...).
extern bool ProgrammingLanguageMode;
// Captions of indexed pages taken from their file names.
extern bool FileNameCaptionMode;

// The extension list derived from kExtensionText: the file types a scan takes.
extern std::vector<std::string> ExtensionList;
// The stop-folder list derived from StopDirs.
extern std::vector<std::string> StopDirList;

// The built-in extension text; set.xml cannot change it.
inline constexpr std::string_view kExtensionText =
    "html, htm, shtml, phtml, php, php3, php4, php5, asp, jsp, txt, mp3, ogg, m3u";

// Start-up value of IndexDepthLimit.
inline constexpr std::int64_t kDefaultIndexDepthLimit = 100000;

// Rebuilds ExtensionList and StopDirList from their texts.
void RebuildDerivedLists();

// `text` cut at every byte that is neither a letter (system letter test) nor a
// digit; the non-empty pieces, as written.
std::vector<std::string> SplitExtensionText(std::string_view text);

// `text` cut at every byte that is not a letter, a digit, "-", "." or "_"; the
// non-empty pieces (so folder names with spaces cannot be listed).
std::vector<std::string> SplitStopDirs(std::string_view text);

// Puts every switch above, and UTF8Mode, back to its start-up value.
void ResetProjectSettings();

}  // namespace qmp
