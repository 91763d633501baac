#pragma once
// How much of a document the indexing reads. A page's head (its title, metas
// and the marks read after them) comes first, and the rating stops at
// IndexDepthLimit; nothing past those is ever needed, so a file of any size
// (a 2 GB page.html) costs a bounded amount of memory and time.

#include <cstdint>
#include <string_view>

#include "core/file_buffer.h"

namespace qmp {

// The start of every document that is read, whatever the depth limit: room
// for the head of any real page, inline styles and scripts included, and for
// the whole of a text file or play list of ordinary size.
inline constexpr std::int64_t kHeadBytes = std::int64_t{1} << 20;

// The most of any document that is read, whatever set.xml asks for.
inline constexpr std::int64_t kMaxDocumentBytes = std::int64_t{64} << 20;

// The bytes of a document that are read: kHeadBytes, or twice IndexDepthLimit
// when that is more (references and dropped apostrophes make the rating's
// positions run behind the bytes), at most kMaxDocumentBytes.
std::int64_t DocumentReadLimit();

// The first DocumentReadLimit() bytes of the file at `path`; its FileSize()
// is the whole file's, as the rating weighs positions by it. A file that
// cannot be read gives a buffer that is not open, as OpenFileBuffer does.
FileBuffer OpenDocument(std::string_view path);

}  // namespace qmp
