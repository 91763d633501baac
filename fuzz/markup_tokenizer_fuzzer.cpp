// Arbitrary bytes through the markup tokenizer in each mode: every token
// comes from inside the buffer, the end is reached, and the runs that the
// reader counts without reading token by token give what the tokens give.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/file_buffer.h"
#include "decoding/database_text.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "tests/indexing/run_skip_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the modes; the rest is the document.
    qmp::UTF8Mode = (data[0] & 1) != 0;
    qmp::ProgrammingLanguageMode = (data[0] & 2) != 0;
    qmp::PendingSpace = false;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    qmp::FileBuffer buffer = qmp::FileBufferFromBytes(bytes);
    qmp::Token token;
    std::size_t tokens = 0;
    do {
        qmp::NextToken(buffer, token);
        // Each token but a pending space consumes at least one byte.
        if (++tokens > 2 * bytes.size() + 2) __builtin_trap();
        if (buffer.Position() < 0 || buffer.Position() > buffer.Size()) __builtin_trap();
    } while (token.Kind != qmp::tkEnd);
    qmp::SeekBuffer(buffer, 0, qmp::SeekOrigin::kBegin);
    (void)qmp::FindElement(buffer, "title");
    (void)qmp::SkipToTagEnd(buffer);
    // The check runs from many boundaries; long inputs are sampled.
    if (!qmp::test::CheckRuns(bytes, 1 + bytes.size() / 64).empty()) __builtin_trap();
    return 0;
}
