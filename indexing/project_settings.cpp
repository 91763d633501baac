#include "indexing/project_settings.h"

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"

namespace qmp {

std::string JSPageTitleSign;
std::string JSPageDescSign;
std::string StopDirs;

// Split from the built-in text itself: ExtensionList, a global of another
// file, may not be made yet while this one is. The text is plain ASCII, so its
// split does not depend on the code page chosen later at start-up.
std::vector<std::string> Extensions = SplitExtensionText(
    "html, htm, shtml, phtml, php, php3, php4, php5, asp, jsp, txt, mp3, ogg, m3u");
std::vector<std::string> StopDirList;

namespace {

bool IsDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

template <typename Keep>
std::vector<std::string> Split(std::string_view text, Keep keep) {
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        if (keep(static_cast<unsigned char>(c))) {
            piece.push_back(c);
        } else if (!piece.empty()) {
            pieces.push_back(std::move(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) pieces.push_back(std::move(piece));
    return pieces;
}

}  // namespace

std::vector<std::string> SplitExtensionText(std::string_view text) {
    return Split(text, [](unsigned char b) { return AnsiIsAlpha(b) || IsDigit(b); });
}

std::vector<std::string> SplitStopDirs(std::string_view text) {
    return Split(text, [](unsigned char b) {
        return AnsiIsAlpha(b) || IsDigit(b) || b == '-' || b == '.' || b == '_';
    });
}

void RebuildDerivedLists() {
    Extensions = SplitExtensionText(ExtensionList);
    StopDirList = SplitStopDirs(StopDirs);
}

void ResetProjectSettings() {
    UTF8Mode = false;
    IndexDepthLimit = kDefaultIndexDepthLimit;
    ProgrammingLanguageMode = false;
    FileNameCaptionMode = false;
    JSPageTitleSign.clear();
    JSPageDescSign.clear();
    StopDirs.clear();
    RebuildDerivedLists();
}

}  // namespace qmp
