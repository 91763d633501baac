#pragma once
// Reading a project's rating settings: set.xml (weights and project-wide
// switches), tags.xml (a rating per HTML tag) and words.xml (rated groups of
// words). The files are read with the markup tokenizer, so they need not be
// well-formed XML; a project lacking one of them uses the program's own.

#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "indexing/rating.h"

namespace qmp {

// `projectFolder` followed by `fileName` when that file exists there;
// otherwise the program folder followed by `fileName`.
std::string RatingFilePath(std::string_view projectFolder, std::string_view fileName);

// Loads the three files into `rating` (set.xml first, then tags.xml, then
// words.xml) and applies set.xml's project-wide switches. True when words.xml
// was read to its end; the extension and stop-folder lists are then rebuilt.
// A missing root element, or a file ending inside an element, stops the
// reading (false); whatever was read before keeps its effect.
bool LoadRatingSettings(TRating& rating, std::string_view tagsFile, std::string_view wordsFile,
                        std::string_view setFile);

// Applies the rating settings of the project whose database is at
// `databasePath` to the project-wide switches and lists; the rating itself is
// discarded. Gives what LoadRatingSettings gave.
bool LoadProjectSettings(std::string_view databasePath);

// The readers of the three files, on buffers (true: read to the end).
// ReadSetFile applies each key as it is read.
bool ReadSetFile(FileBuffer& buffer, TRating& rating);
bool ReadTagsFile(FileBuffer& buffer, TRating& rating);
bool ReadWordsFile(FileBuffer& buffer, TRating& rating);

// Applies one key of set.xml with its value text to `rating` or to the
// project-wide switches; unknown keys are ignored.
void ApplySetting(TRating& rating, std::string_view key, std::string_view value);

}  // namespace qmp
