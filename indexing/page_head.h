#pragma once
// The fields a page declares in its head: the title, and the description and
// character set of its meta elements, read through the markup tokenizer.

#include <array>
#include <cstring>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "decoding/ansi_code_page.h"

namespace qmp {

// The text after the start tag of the first title element, up to the next
// tag, comment or declaration (or the end), in the tokenizer's forms: one
// space per white-space byte, references decoded, apostrophes inside words
// dropped. Empty when there is no title element. Reads from the start.
std::string ReadPageTitle(FileBuffer& buffer);

struct MetaFields {
    std::string description;  // the last description meta's content, as written
    std::string charset;      // the last declared character set, lower-cased (A-Z)
};

// The description and character set declared by the meta elements. Reading
// started at a meta element goes on past its end until another kind of meta,
// a description or the end of the file stops it, so that the words "name",
// "charset", "http-equiv" and "content" act wherever they stand in that
// stretch. Reads from the start.
MetaFields ReadMetaFields(FileBuffer& buffer);

// Where the first occurrence of each of `marks` ends (negative: nowhere), each
// found from the start in any letter case as FindText finds it, in one pass
// over the bytes. Every mark must begin with a double quote.
template <std::size_t N>
std::array<std::int64_t, N> FindQuotedMarks(std::string_view bytes,
                                            const std::array<std::string_view, N>& marks);

// The marks of a page that extraction reads a quoted text after.
inline constexpr std::string_view kCategoryMark = "\"quarrymap-category\"";

template <std::size_t N>
std::array<std::int64_t, N> FindQuotedMarks(std::string_view bytes,
                                            const std::array<std::string_view, N>& marks) {
    std::array<std::int64_t, N> ends;
    ends.fill(-1);
    const unsigned char* upper = AnsiUpperTable();
    // The candidates are the quotes; a code page in which another byte
    // upper-cases to a quote has them all looked at.
    int quotes = 0;
    for (int b = 0; b < 256; ++b)
        quotes += upper[b] == '"' ? 1 : 0;
    const auto matchesAt = [&](std::size_t at, std::string_view mark) {
        if (bytes.size() - at < mark.size()) return false;
        for (std::size_t i = 0; i < mark.size(); ++i) {
            if (upper[static_cast<unsigned char>(bytes[at + i])] !=
                upper[static_cast<unsigned char>(mark[i])])
                return false;
        }
        return true;
    };
    std::size_t missing = N;
    for (std::size_t at = 0; at < bytes.size() && missing > 0; ++at) {
        if (quotes == 1) {
            const void* quote = std::memchr(bytes.data() + at, '"', bytes.size() - at);
            if (quote == nullptr) break;
            at = static_cast<std::size_t>(static_cast<const char*>(quote) - bytes.data());
        }
        for (std::size_t m = 0; m < N; ++m) {
            if (ends[m] < 0 && matchesAt(at, marks[m])) {
                ends[m] = static_cast<std::int64_t>(at + marks[m].size());
                --missing;
            }
        }
    }
    return ends;
}

}  // namespace qmp
