#pragma once
// The fields a page declares in its head: the title, and the description and
// character set of its meta elements, read through the markup tokenizer.

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

}  // namespace qmp
