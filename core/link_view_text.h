#pragma once
// The texts of the rows of the category and link lists as a person sees
// them: display forms (UTF-8) of the stored texts.

#include <cstdint>
#include <string>
#include <vector>

#include "core/category_table.h"
#include "core/link_table.h"

namespace qmp {

// The "Category" column: the name of category `category` in display form
// (empty when there is no such category), a blank, and the number in
// parentheses.
std::string CategoryColumnText(const TCat& categories, std::int32_t category);

// The "Link URL" column: the stored URL percent-decoded, in display form.
std::string UrlColumnText(const TBaseRecord& record);

// The keywords a list shows: the stored ones in order, without "~" (the mark
// of a link the update leaves alone), each in display form.
std::vector<std::string> ShownKeywords(const TBaseRecord& record);

// The "Keywords" column: the shown keywords, each followed by ", " unless it
// is the last stored keyword, in display form.
std::string KeywordsColumnText(const TBaseRecord& record);

}  // namespace qmp
