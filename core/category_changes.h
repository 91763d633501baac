#pragma once
// Changes of the category table that the link table must follow.

#include "core/category_table.h"
#include "core/link_table.h"

namespace qmp {

// The name the category table holds after all categories were deleted.
inline constexpr const char* kAllCategoriesName = "All Categories";

// Deletes category `k` and every link of it; links of later categories move
// down one number. A position outside the category table changes nothing.
void DeleteCategory(TCat& categories, TBase& links, int k);

// Empties both tables; the category table then holds "All Categories" alone.
void DeleteAllCategories(TCat& categories, TBase& links);

}  // namespace qmp
