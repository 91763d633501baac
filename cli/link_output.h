#pragma once
// How qmp prints categories and links: as aligned text for a person, or as
// JSON for a script. Every text is in display form (UTF-8).

#include <ostream>
#include <string>
#include <string_view>

#include "core/category_table.h"
#include "core/link_table.h"

namespace qmp::cli {

// `text` (valid UTF-8) as a JSON string, quotes included.
std::string JsonString(std::string_view text);

// One link as a JSON object on one line: "category", "caption", "url" (as
// stored), "description" and "keywords" (an array). With `withoutLockMark`
// the keyword "~" is left out, as the link list shows the keywords.
std::string LinkJson(const TBaseRecord& record, bool withoutLockMark);

// The fields of one link, a line each, for a person.
void WriteLinkText(std::ostream& out, const TBaseRecord& record);

// The category table and the link table as the main window's two lists
// show them, each as an aligned table.
void WriteTablesText(std::ostream& out, const TCat& categories, const TBase& links);

// {"categories": [...], "links": [...]}, a link on each line.
void WriteTablesJson(std::ostream& out, const TCat& categories, const TBase& links);

}  // namespace qmp::cli
