#include "core/link_view_text.h"

#include <gtest/gtest.h>

#include "decoding/database_text.h"

namespace qmp {
namespace {

TEST(LinkViewText, Columns) {
    ScopedUtf8Mode utf8(true);
    TCat categories;
    categories.Add("All Categories");
    categories.Add("Caf\xC3\xA9");
    EXPECT_EQ(CategoryColumnText(categories, 1), "Caf\xC3\xA9 (1)");
    EXPECT_EQ(CategoryColumnText(categories, 5), " (5)");
    EXPECT_EQ(CategoryColumnText(categories, -1), " (-1)");

    TBaseRecord record;
    record.URL = "docs%2Fa%20b%C3%A9.html";
    EXPECT_EQ(UrlColumnText(record), "docs/a b\xC3\xA9.html");

    const struct {
        std::vector<std::string> stored;
        std::string_view column;
        std::vector<std::string> shown;
    } cases[] = {
        {{"~", "alpha", "beta"}, "alpha, beta", {"alpha", "beta"}},
        {{"alpha", "~"}, "alpha, ", {"alpha"}},
        {{"dont_update", "~~"}, "dont_update, ~~", {"dont_update", "~~"}},
        {{}, "", {}},
    };
    for (const auto& c : cases) {
        record.Keywords = c.stored;
        EXPECT_EQ(KeywordsColumnText(record), c.column);
        EXPECT_EQ(ShownKeywords(record), c.shown);
    }
}

}  // namespace
}  // namespace qmp
