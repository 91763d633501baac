#include "indexing/document_read.h"

#include <algorithm>

#include "core/program_values.h"

namespace qmp {

std::int64_t DocumentReadLimit() {
    const std::int64_t rated = 2 * std::int64_t{std::max(IndexDepthLimit, 0)};
    return std::clamp(rated, kHeadBytes, kMaxDocumentBytes);
}

FileBuffer OpenDocument(std::string_view path) {
    return OpenFileBufferStart(path, DocumentReadLimit());
}

}  // namespace qmp
