#pragma once
// Reading a project's rating settings: set.xml (weights and project-wide
// switches), tags.xml (a rating per HTML tag) and words.xml (rated groups of
// words). The files are read with the markup tokenizer, so they need not be
// well-formed XML; a project lacking one of them uses the program's own.

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "indexing/rating.h"

namespace qmp {

class RatingLookup;

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

// Applies a key of set.xml that names a field of `rating`; false for any
// other key.
bool ApplyRatingKey(TRating& rating, std::string_view key, std::string_view value);

// What the keys of set.xml do to the project-wide switches: each switch that
// a key names, with the value of its last key.
struct SwitchEffect {
    std::optional<std::string> jsPageTitleSign;
    std::optional<std::string> jsPageDescSign;
    std::optional<std::string> stopDirs;
    std::optional<std::int32_t> indexDepthLimit;
    std::optional<bool> utf8Mode;
    std::optional<bool> programmingLanguageMode;
    std::optional<bool> fileNameCaptionMode;

    // Notes one key with its value text; a key of no switch is ignored.
    void Note(std::string_view key, std::string_view value);
    // True when Apply would change a switch.
    bool Changes() const;
    void Apply() const;
};

// The rating settings a document is rated with: the weights of set.xml in a
// TRating whose tables are left empty, and the tables of tags.xml and
// words.xml in `lookup`. Made once for each reading of the files and shared,
// unchanged, by every document rated while they stay the same, so that a
// document costs the same whatever their size.
struct DocumentSettings {
    TRating rating;
    std::shared_ptr<const RatingLookup> lookup;
};

// What identifies the content of a file without reading it.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The rating settings of the project whose database is at a given path,
// followed document by document through a scan or an update. The program
// folder's files are found once; the project folder's three files are looked
// at again for every document (one status call each), so that an edit to
// set.xml during a scan takes effect from the next document on, and they are
// read again only when one of them changed. To be used on one thread.
class ProjectSettingsWatch final {
public:
    explicit ProjectSettingsWatch(std::string_view databasePath);

    // The settings of the next document, with the project-wide switches and
    // lists set as loading the files sets them (LoadRatingSettings).
    // `beforeChange`, when given, runs before any of those values changes,
    // and before any of the files is read.
    std::shared_ptr<const DocumentSettings> Next(const std::function<void()>& beforeChange);

private:
    struct WatchedFile {
        std::string projectPath;    // empty without a project folder
        std::string projectOsPath;  // the same as the system spells it
        std::string programPath;
        FileIdentity programIdentity;
    };
    std::array<WatchedFile, 3> files_;  // tags.xml, words.xml, set.xml
};

// The settings of one document of the project whose database is at
// `databasePath`, as ProjectSettingsWatch gives them.
std::shared_ptr<const DocumentSettings> LoadDocumentSettings(std::string_view databasePath);

}  // namespace qmp
