#include "core/category_changes.h"

namespace qmp {

void DeleteCategory(TCat& categories, TBase& links, int k) {
    if (k < 0 || k >= categories.Count()) return;
    categories.Delete(k);
    links.CatDeleted(k);
}

void DeleteAllCategories(TCat& categories, TBase& links) {
    links.Clear();
    categories.Clear();
    categories.Add(kAllCategoriesName);
}

}  // namespace qmp
