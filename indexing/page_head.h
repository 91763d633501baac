#pragma once
// The fields a page declares in its head: the title, and the description and
// character set of its meta elements, read through the markup tokenizer.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"

namespace qmp {

// The text after the start tag of the first title element, up to the next
// tag, comment or declaration (or the end), in the tokenizer's forms: one
// space per white-space byte, references decoded, apostrophes inside words
// dropped. Empty when there is no title element. Reads from the start; in
// UTF-8 mode its text is read as text in the character set `charset` names
// (the page's declared one).
std::string ReadPageTitle(FileBuffer& buffer, std::string_view charset = "utf-8");

struct MetaFields {
    std::string description;  // the last description meta's content, as written
    std::string charset;      // the last declared character set, lower-cased (A-Z)
};

// The description and character set declared by the meta elements. Reading
// started at a meta element goes on past its end until another kind of meta,
// a description or the end of the file stops it, so that the words "name",
// "charset", "http-equiv" and "content" act wherever they stand in that
// stretch. Reads from the start; in UTF-8 mode the description is read as
// text in the declared character set.
MetaFields ReadMetaFields(FileBuffer& buffer);

// Where the first occurrence of each of the `count` marks ends, in `ends`
// (negative: nowhere), each found from the start in any letter case as
// FindText finds it, in one pass over the bytes. Every mark must begin with a
// double quote. Moves the buffer's position.
void FindQuotedMarks(FileBuffer& buffer, const std::string_view* marks, std::int64_t* ends,
                     std::size_t count);
template <std::size_t N>
std::array<std::int64_t, N> FindQuotedMarks(FileBuffer& buffer,
                                            const std::array<std::string_view, N>& marks);

// The marks of a page that extraction reads a quoted text after.
inline constexpr std::string_view kCategoryMark = "\"quarrymap-category\"";

template <std::size_t N>
std::array<std::int64_t, N> FindQuotedMarks(FileBuffer& buffer,
                                            const std::array<std::string_view, N>& marks) {
    std::array<std::int64_t, N> ends;
    FindQuotedMarks(buffer, marks.data(), ends.data(), N);
    return ends;
}

}  // namespace qmp
