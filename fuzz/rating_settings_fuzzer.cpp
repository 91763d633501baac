// Arbitrary bytes as set.xml, tags.xml and words.xml.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/file_buffer.h"
#include "decoding/database_text.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "indexing/rating_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmp::ResetProjectSettings();
    qmp::PendingSpace = false;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qmp::TRating rating;
    qmp::FileBuffer set = qmp::FileBufferFromBytes(bytes);
    (void)qmp::ReadSetFile(set, rating);
    qmp::FileBuffer tags = qmp::FileBufferFromBytes(bytes);
    (void)qmp::ReadTagsFile(tags, rating);
    qmp::FileBuffer words = qmp::FileBufferFromBytes(bytes);
    (void)qmp::ReadWordsFile(words, rating);
    for (const qmp::TWordsRating& group : rating.WordGroups) {
        if (group.Words.empty() || group.Words.front() != ' ' || group.Words.back() != ' ')
            __builtin_trap();
    }
    return 0;
}
