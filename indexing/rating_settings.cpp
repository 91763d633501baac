#include "indexing/rating_settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "core/integer_text.h"
#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "indexing/rating_lookup.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

using SettingValues = std::vector<std::pair<std::string, std::string>>;

constexpr std::int32_t kDefaultDescOffset = 35;
constexpr std::int32_t kDefaultDescLength = 300;

bool IsQuote(const Token& token) {
    return token.Kind == tkSymbol && token.Text == "\"";
}

// What ends the search for an element's first attribute name.
enum class AttributeStop { kWord, kTagEnd, kEmptyTagEnd, kEnd };

// Reads to the element's first attribute name (left in `token`). A start tag
// that closes first has no attribute: the search stops there, so that the
// content, or the next element, is not taken for one.
AttributeStop ReadToAttributeName(FileBuffer& buffer, Token& token) {
    for (;;) {
        NextToken(buffer, token);
        switch (token.Kind) {
            case tkWord:
                return AttributeStop::kWord;
            case tkTagClose:
                return AttributeStop::kTagEnd;
            case tkEmptyTagClose:
                return AttributeStop::kEmptyTagEnd;
            case tkEnd:
                return AttributeStop::kEnd;
            default:
                break;
        }
    }
}

// Reads to the next double-quote symbol, then collects the texts of the tokens
// that `take` accepts up to the following one. Nothing when the buffer ends
// before the closing quote.
template <typename Take>
std::optional<std::string> ReadQuotedValue(FileBuffer& buffer, Token& token, Take take) {
    do {
        NextToken(buffer, token);
        if (token.Kind == tkEnd) return std::nullopt;
    } while (!IsQuote(token));
    std::string value;
    for (;;) {
        NextToken(buffer, token);
        if (token.Kind == tkEnd) return std::nullopt;
        if (IsQuote(token)) return value;
        if (take(token)) value += token.Text;
    }
}

// A rating attribute's value: only the "-" symbols and the numbers count, so
// a plus or per-cent sign around the digits is dropped.
std::optional<std::int32_t> ReadRatingValue(FileBuffer& buffer, Token& token) {
    const auto text = ReadQuotedValue(buffer, token, [](const Token& t) {
        return t.Kind == tkNumber || (t.Kind == tkSymbol && t.Text == "-");
    });
    if (!text) return std::nullopt;
    return IntegerPrefix(*text);
}

// Reads to the end of a start tag: the kind that ended it (">", "/>" or the end).
TokenKind SkipToStartTagEnd(FileBuffer& buffer, Token& token) {
    do {
        NextToken(buffer, token);
    } while (token.Kind != tkTagClose && token.Kind != tkEmptyTagClose && token.Kind != tkEnd);
    return token.Kind;
}

struct IntegerKey {
    std::string_view name;
    std::int32_t TRating::*field;
};
constexpr std::array<IntegerKey, 5> kIntegerKeys{{
    {"TagsMinimalRating", &TRating::TagsMinimalRating},
    {"StopWordsMinimalRating", &TRating::StopWordsMinimalRating},
    {"KeysCount", &TRating::KeysCount},
    {"DescOffset", &TRating::DescOffset},
    {"DescLength", &TRating::DescLength},
}};

struct RealKey {
    std::string_view name;
    double TRating::*field;
};
constexpr std::array<RealKey, 14> kRealKeys{{
    {"BeginOfFile", &TRating::BeginOfFile},
    {"EndOfFile", &TRating::EndOfFile},
    {"DigitRating", &TRating::DigitRating},
    {"XXXRating", &TRating::XXXRating},
    {"YyyRating", &TRating::YyyRating},
    {"zzzRating", &TRating::zzzRating},
    {"CodeRating", &TRating::CodeRating},
    {"KeywordRating", &TRating::KeywordRating},
    {"ExistingWeight", &TRating::ExistingWeight},
    {"TagWeight", &TRating::TagWeight},
    {"WordPositionWeight", &TRating::WordPositionWeight},
    {"WordCaseWeight", &TRating::WordCaseWeight},
    {"CountWeight", &TRating::CountWeight},
    {"FileNameWeight", &TRating::FileNameWeight},
}};

bool ReadSetFileRecording(FileBuffer& buffer, TRating& rating, SettingValues* applied) {
    if (!FindElement(buffer, "settings")) return false;
    Token token;
    while (NextElementName(buffer, token)) {
        const std::string key = token.Text;
        const AttributeStop stop = ReadToAttributeName(buffer, token);
        if (stop == AttributeStop::kEnd) return false;
        if (stop != AttributeStop::kWord || token.Text != "value") continue;
        const auto value = ReadQuotedValue(buffer, token, [](const Token&) { return true; });
        if (!value) return false;
        ApplySetting(rating, key, *value);
        if (applied != nullptr) applied->emplace_back(key, *value);
    }
    return true;
}

FileIdentity IdentityOf(const struct stat& info) {
    FileIdentity id;
    id.exists = true;
    id.device = info.st_dev;
    id.inode = info.st_ino;
    id.size = info.st_size;
    id.modifiedNs = std::int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
    id.changedNs = std::int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec;
    return id;
}

FileIdentity IdentifyFile(std::string_view path) {
    struct stat info {};
    if (::stat(ToOsPath(path).c_str(), &info) != 0) return {};
    return IdentityOf(info);
}

// Everything a reading of the three files depends on: the files and the
// switches that steer the tokenizer and the conversion of words.
struct LoadKey {
    std::string tagsPath, wordsPath, setPath;
    FileIdentity tags, words, set;
    bool utf8 = false;
    bool programming = false;
    CharsetId codePage = 0;

    bool operator==(const LoadKey&) const = default;
};

// Everything a reading of the three files does, so that it can be done again
// without reading them: the set.xml keys in order, the two tables (with their
// lookup), the outcome, and the tokenizer's flag at the end.
struct LoadEffect {
    SettingValues applied;
    std::shared_ptr<const RatingLookup> lookup;  // holds the two tables
    bool complete = false;
    bool pendingSpace = false;
    // What the keys do to the project-wide switches, and the settings a
    // document is rated with.
    SwitchEffect switches;
    std::shared_ptr<const DocumentSettings> document;
};

struct CachedLoad {
    LoadKey key;
    LoadEffect effect;
};

// Extraction loads the same project's files for every document: the last
// reading is kept and replayed while the files are unchanged.
std::optional<CachedLoad>& LastLoad() {
    static std::optional<CachedLoad> last;
    return last;
}

LoadKey MakeLoadKey(std::string_view tagsFile, std::string_view wordsFile,
                    std::string_view setFile) {
    return LoadKey{std::string(tagsFile),
                   std::string(wordsFile),
                   std::string(setFile),
                   IdentifyFile(tagsFile),
                   IdentifyFile(wordsFile),
                   IdentifyFile(setFile),
                   UTF8Mode,
                   ProgrammingLanguageMode,
                   SystemCodePage()};
}

bool FileExists(std::string_view path) {
    struct stat info {};
    return ::stat(ToOsPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The settings a document is rated with, after a reading that did `effect`:
// a fresh rating's defaults with every key applied.
std::shared_ptr<const DocumentSettings> DocumentSettingsOf(const LoadEffect& effect) {
    auto settings = std::make_shared<DocumentSettings>();
    settings->rating.DescOffset = kDefaultDescOffset;
    settings->rating.DescLength = kDefaultDescLength;
    for (const auto& [key, value] : effect.applied)
        ApplyRatingKey(settings->rating, key, value);
    settings->lookup = effect.lookup;
    return settings;
}

template <typename Read>
bool ReadFile(std::string_view path, Read read) {
    FileBuffer buffer = OpenFileBuffer(path);
    const bool complete = read(buffer);
    CloseFileBuffer(buffer);
    return complete;
}

// Reads the three files into `rating`, recording what the reading does.
LoadEffect ReadSettingsFiles(TRating& rating, std::string_view tagsFile, std::string_view wordsFile,
                             std::string_view setFile) {
    LoadEffect effect;
    effect.complete =
        ReadFile(setFile,
                 [&](FileBuffer& b) { return ReadSetFileRecording(b, rating, &effect.applied); }) &&
        ReadFile(tagsFile, [&](FileBuffer& b) { return ReadTagsFile(b, rating); }) &&
        ReadFile(wordsFile, [&](FileBuffer& b) { return ReadWordsFile(b, rating); });
    effect.lookup = std::make_shared<const RatingLookup>(rating.TagTable, rating.WordGroups);
    effect.pendingSpace = PendingSpace;
    for (const auto& [key, value] : effect.applied)
        effect.switches.Note(key, value);
    effect.document = DocumentSettingsOf(effect);
    return effect;
}

void ReplaySettings(TRating& rating, const LoadEffect& effect) {
    for (const auto& [key, value] : effect.applied)
        ApplySetting(rating, key, value);
    rating.TagTable = effect.lookup->Tags();
    rating.WordGroups = effect.lookup->Groups();
    PendingSpace = effect.pendingSpace;
}

// Reads the three files as LoadRatingSettings does, keeping the reading
// under `key` for later loadings.
const CachedLoad& ReadAndKeep(TRating& rating, LoadKey key, std::string_view tagsFile,
                              std::string_view wordsFile, std::string_view setFile) {
    std::optional<CachedLoad>& last = LastLoad();
    last.reset();
    LoadEffect effect = ReadSettingsFiles(rating, tagsFile, wordsFile, setFile);
    last = CachedLoad{std::move(key), std::move(effect)};
    return *last;
}

}  // namespace

bool ApplyRatingKey(TRating& rating, std::string_view key, std::string_view value) {
    for (const IntegerKey& k : kIntegerKeys) {
        if (k.name == key) {
            rating.*k.field = IntegerPrefix(value);
            return true;
        }
    }
    for (const RealKey& k : kRealKeys) {
        if (k.name == key) {
            rating.*k.field = static_cast<double>(IntegerPrefix(value)) / 100.0;
            return true;
        }
    }
    return false;
}

void SwitchEffect::Note(std::string_view key, std::string_view value) {
    if (key == "JSPageTitleSign") {
        jsPageTitleSign = value;
    } else if (key == "JSPageDescSign") {
        jsPageDescSign = value;
    } else if (key == "StopDirs") {
        stopDirs = value;
    } else if (key == "IndexDepthLimit") {
        // Kilobytes. A limit too large for 32 bits is held at the largest one,
        // rather than wrapping round to a negative limit that rates nothing.
        const std::int64_t bytes = std::int64_t{IntegerPrefix(value)} * 1024;
        indexDepthLimit =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(bytes, INT32_MIN, INT32_MAX));
    } else if (key == "UTF8Mode") {
        utf8Mode = IntegerPrefix(value) == 1;
    } else if (key == "ProgrammingLanguageMode") {
        programmingLanguageMode = IntegerPrefix(value) == 1;
    } else if (key == "FileNameCaptionMode") {
        fileNameCaptionMode = IntegerPrefix(value) == 1;
    }
    // "Extensions" and unknown keys are ignored: the extension list is built in.
}

namespace {

template <typename Value>
bool Differs(const std::optional<Value>& wanted, const Value& current) {
    return wanted && !(*wanted == current);
}

template <typename Value>
void Assign(const std::optional<Value>& wanted, Value& current) {
    if (wanted) current = *wanted;
}

}  // namespace

bool SwitchEffect::Changes() const {
    return Differs(jsPageTitleSign, JSPageTitleSign) || Differs(jsPageDescSign, JSPageDescSign) ||
           Differs(stopDirs, StopDirs) || Differs(indexDepthLimit, IndexDepthLimit) ||
           Differs(utf8Mode, UTF8Mode) ||
           Differs(programmingLanguageMode, ProgrammingLanguageMode) ||
           Differs(fileNameCaptionMode, FileNameCaptionMode);
}

void SwitchEffect::Apply() const {
    Assign(jsPageTitleSign, JSPageTitleSign);
    Assign(jsPageDescSign, JSPageDescSign);
    Assign(stopDirs, StopDirs);
    Assign(indexDepthLimit, IndexDepthLimit);
    Assign(utf8Mode, UTF8Mode);
    Assign(programmingLanguageMode, ProgrammingLanguageMode);
    Assign(fileNameCaptionMode, FileNameCaptionMode);
}

void ApplySetting(TRating& rating, std::string_view key, std::string_view value) {
    if (ApplyRatingKey(rating, key, value)) return;
    SwitchEffect effect;
    effect.Note(key, value);
    effect.Apply();
}

bool ReadSetFile(FileBuffer& buffer, TRating& rating) {
    return ReadSetFileRecording(buffer, rating, nullptr);
}

bool ReadTagsFile(FileBuffer& buffer, TRating& rating) {
    if (!FindElement(buffer, "tags")) return false;
    Token token;
    while (NextElementName(buffer, token)) {
        rating.TagTable.push_back(TTagRating{token.Text, 0, false});
        const AttributeStop stop = ReadToAttributeName(buffer, token);
        if (stop == AttributeStop::kEnd) return false;
        if (stop != AttributeStop::kWord || token.Text != "rating") continue;
        const auto value = ReadRatingValue(buffer, token);
        if (!value) return false;
        rating.TagTable.back().Rating = *value;
    }
    return true;
}

bool ReadWordsFile(FileBuffer& buffer, TRating& rating) {
    if (!FindElement(buffer, "words")) return false;
    Token token;
    while (FindElement(buffer, "group")) {
        rating.WordGroups.push_back(TWordsRating{" ", 0});
        TWordsRating& group = rating.WordGroups.back();
        TokenKind tagEnd = tkTagClose;
        switch (ReadToAttributeName(buffer, token)) {
            case AttributeStop::kEnd:
                return false;
            case AttributeStop::kTagEnd:
                break;
            case AttributeStop::kEmptyTagEnd:
                tagEnd = tkEmptyTagClose;
                break;
            case AttributeStop::kWord:
                if (token.Text == "rating") {
                    const auto value = ReadRatingValue(buffer, token);
                    if (!value) return false;
                    group.Rating = *value;
                }
                tagEnd = SkipToStartTagEnd(buffer, token);
                if (tagEnd == tkEnd) return false;
                break;
        }
        if (tagEnd == tkEmptyTagClose) continue;  // <group/> has no words

        // The content: words only, up to the first "</", ">" or the end. The
        // file is system ANSI text, and so are its references' characters.
        for (;;) {
            NextToken(buffer, token, CharsetFromName(""));
            if (token.Kind == tkEndTagOpen || token.Kind == tkTagClose || token.Kind == tkEnd)
                break;
            if (token.Kind != tkWord) continue;
            group.Words += ToDatabaseText(token.Text, "");
            group.Words.push_back(' ');
        }
    }
    return true;
}

std::string RatingFilePath(std::string_view projectFolder, std::string_view fileName) {
    // Without a project folder the name alone would depend on the working
    // folder; the program's own file is meant then.
    if (!projectFolder.empty()) {
        std::string path = std::string(projectFolder) + std::string(fileName);
        if (FileExists(path)) return path;
    }
    return ProgramDir() + std::string(fileName);
}

bool LoadRatingSettings(TRating& rating, std::string_view tagsFile, std::string_view wordsFile,
                        std::string_view setFile) {
    rating.DescOffset = kDefaultDescOffset;
    rating.DescLength = kDefaultDescLength;
    rating.TagTable.clear();
    rating.WordGroups.clear();

    LoadKey key = MakeLoadKey(tagsFile, wordsFile, setFile);
    const std::optional<CachedLoad>& last = LastLoad();
    const bool same = last && last->key == key;
    if (same) ReplaySettings(rating, last->effect);
    const CachedLoad& load =
        same ? *last : ReadAndKeep(rating, std::move(key), tagsFile, wordsFile, setFile);
    rating.Lookup = load.effect.lookup;
    if (!load.effect.complete) return false;
    RebuildDerivedLists();
    return true;
}

ProjectSettingsWatch::ProjectSettingsWatch(std::string_view databasePath) {
    const std::string projectFolder = ExtractFilePath(databasePath);
    const std::string programFolder = ProgramDir();
    const std::array<std::string_view, 3> names = {"tags.xml", "words.xml", "set.xml"};
    for (std::size_t i = 0; i < files_.size(); ++i) {
        WatchedFile& file = files_[i];
        if (!projectFolder.empty()) {
            file.projectPath = projectFolder + std::string(names[i]);
            file.projectOsPath = ToOsPath(file.projectPath);
        }
        file.programPath = programFolder + std::string(names[i]);
        file.programIdentity = IdentifyFile(file.programPath);
    }
}

std::shared_ptr<const DocumentSettings> ProjectSettingsWatch::Next(
    const std::function<void()>& beforeChange) {
    // The project's own file when it has one (one status call), else the
    // program's, which stands for the whole scan.
    std::array<FileIdentity, 3> identities;
    std::array<const std::string*, 3> paths{};
    for (std::size_t i = 0; i < files_.size(); ++i) {
        WatchedFile& file = files_[i];
        struct stat info {};
        if (!file.projectOsPath.empty() && ::stat(file.projectOsPath.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode)) {
            identities[i] = IdentityOf(info);
            paths[i] = &file.projectPath;
        } else {
            identities[i] = file.programIdentity;
            paths[i] = &file.programPath;
        }
    }
    const std::optional<CachedLoad>& last = LastLoad();
    const bool same = last && last->key.tagsPath == *paths[0] && last->key.wordsPath == *paths[1] &&
                      last->key.setPath == *paths[2] && last->key.tags == identities[0] &&
                      last->key.words == identities[1] && last->key.set == identities[2] &&
                      last->key.utf8 == UTF8Mode &&
                      last->key.programming == ProgrammingLanguageMode &&
                      last->key.codePage == SystemCodePage();
    if (same) {
        // Loading the files again would set every switch as it stands now:
        // nothing to do, unless something else changed one in between.
        if (last->effect.switches.Changes()) {
            if (beforeChange) beforeChange();
            last->effect.switches.Apply();
            if (last->effect.complete) RebuildDerivedLists();
        }
        return last->effect.document;
    }
    // Reading the files sets the switches as it goes.
    if (beforeChange) beforeChange();
    LoadKey key{*paths[0],       *paths[1],     *paths[2], identities[0],
                identities[1],   identities[2], UTF8Mode,  ProgrammingLanguageMode,
                SystemCodePage()};
    TRating rating;
    const CachedLoad& load = ReadAndKeep(rating, std::move(key), *paths[0], *paths[1], *paths[2]);
    if (load.effect.complete) RebuildDerivedLists();
    return load.effect.document;
}

std::shared_ptr<const DocumentSettings> LoadDocumentSettings(std::string_view databasePath) {
    return ProjectSettingsWatch(databasePath).Next({});
}

bool LoadProjectSettings(std::string_view databasePath) {
    const std::string folder = ExtractFilePath(databasePath);
    TRating rating;
    return LoadRatingSettings(rating, RatingFilePath(folder, "tags.xml"),
                              RatingFilePath(folder, "words.xml"),
                              RatingFilePath(folder, "set.xml"));
}

}  // namespace qmp
