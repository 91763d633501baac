// Arbitrary bytes as a document to rate, under fixed settings in each mode.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "decoding/database_text.h"
#include "indexing/keyword_rating.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"

namespace {

qmp::TRating Settings() {
    qmp::TRating r;
    r.TagTable = {{"title", 300, false}, {"h1", 200, false}, {"script", -100, false}};
    r.WordGroups = {{" the a an ", -100}, {" fuzz ", 50}};
    r.KeysCount = 20;
    r.BeginOfFile = 1.0;
    r.EndOfFile = 0.25;
    r.WordPositionWeight = 1.0;
    r.WordCaseWeight = 0.5;
    r.zzzRating = 1.0;
    r.TagWeight = 1.0;
    r.KeywordRating = 3.0;
    r.CountWeight = 0.1;
    r.FileNameWeight = 1.5;
    r.ExistingWeight = 1.0;
    r.DescOffset = 1;
    r.DescLength = 100;
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    qmp::UTF8Mode = (data[0] & 1) != 0;
    qmp::ProgrammingLanguageMode = (data[0] & 2) != 0;
    qmp::IndexDepthLimit = (data[0] & 4) != 0 ? 64 : qmp::kDefaultIndexDepthLimit;
    qmp::PendingSpace = false;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    static const qmp::TRating settings = Settings();
    qmp::TRating rating = settings;
    qmp::FileBuffer buffer = qmp::FileBufferFromBytes(bytes);
    std::string excerpt;
    qmp::RateBuffer(rating, buffer, "/site/fuzz page_1.html", excerpt,
                    (data[0] & 8) ? "utf-8" : "");
    if (rating.WordList.size() > 20) __builtin_trap();
    for (std::size_t i = 1; i < rating.WordList.size(); ++i) {
        if (rating.WordList[i].Score > rating.WordList[i - 1].Score) __builtin_trap();
    }
    return 0;
}
