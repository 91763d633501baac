#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/category_changes.h"
#include "core/category_table.h"
#include "core/link_table.h"

namespace qmp {
namespace {

TCat MakeCategories(const std::vector<std::string>& names) {
    TCat table;
    for (const std::string& name : names)
        table.Add(name);
    return table;
}

TBaseRecord Link(std::int32_t category, std::string caption = {}) {
    TBaseRecord record;
    record.Category = category;
    record.Caption = std::move(caption);
    return record;
}

TBase MakeLinks(const std::vector<std::int32_t>& categories) {
    TBase table;
    for (std::size_t i = 0; i < categories.size(); ++i)
        table.Add(Link(categories[i], "L" + std::to_string(i)));
    return table;
}

std::vector<std::string> Captions(const TBase& links) {
    std::vector<std::string> out;
    for (const TBaseRecord& r : links.Records())
        out.push_back(r.Caption);
    return out;
}

std::vector<std::int32_t> CategoryNumbers(const TBase& links) {
    std::vector<std::int32_t> out;
    for (const TBaseRecord& r : links.Records())
        out.push_back(r.Category);
    return out;
}

TEST(TCat, AddGetPutAndEmptyNames) {
    TCat table = MakeCategories({"All", "News"});
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Current(), 1);
    table.SetCurrent(0);
    table.Add("");  // ignored, Current too
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Current(), 0);
    EXPECT_EQ(table.Get(1), "News");
    EXPECT_EQ(table.Get(2), "");
    EXPECT_EQ(table.Get(-1), "");
    table.Put(1, "Events");
    table.Put(2, "Nowhere");
    EXPECT_EQ(table.Names(), (std::vector<std::string>{"All", "Events"}));
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Current(), 0);
}

TEST(TBase, AddGetPutAndLock) {
    TBase table;
    TBaseRecord record = Link(3, "Home");
    record.URL = "index.html";
    record.Description = "Start";
    record.Keywords = {"home", "Dont_Update"};
    table.Add(record);
    table.Add(TBaseRecord());  // appended whatever it holds
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Current(), 1);
    EXPECT_EQ(table.Get(0), record);
    EXPECT_EQ(table.Get(5), TBaseRecord());
    EXPECT_FALSE(table.IsUpdateLocked(0));  // the lock word is case-sensitive
    record.Keywords.push_back("~");
    table.Put(0, record);
    EXPECT_TRUE(table.IsUpdateLocked(0));
    record.Keywords = {"dont_update"};
    table.Put(1, record);
    EXPECT_TRUE(table.IsUpdateLocked(1));
    table.Put(2, record);
    EXPECT_EQ(table.Count(), 2);
    EXPECT_FALSE(table.IsUpdateLocked(2));
}

// Moves and deletes share their rules on both tables; the link table shows them.
TEST(TableMoves, MoveEntriesAndSetCurrent) {
    struct Case {
        const char* move;
        int position;
        std::vector<std::string> order;  // of L0..L3 afterwards
        int current;                     // -1: unchanged (stays 9)
    };
    const Case cases[] = {
        {"begin", 2, {"L2", "L0", "L1", "L3"}, 0},  {"begin", 0, {"L0", "L1", "L2", "L3"}, -1},
        {"begin", 4, {"L0", "L1", "L2", "L3"}, -1}, {"end", 1, {"L0", "L2", "L3", "L1"}, 3},
        {"end", 3, {"L0", "L1", "L2", "L3"}, -1},   {"end", 7, {"L0", "L1", "L2", "L3"}, -1},
        {"up", 2, {"L0", "L2", "L1", "L3"}, 1},     {"up", 0, {"L0", "L1", "L2", "L3"}, -1},
        {"down", 2, {"L0", "L1", "L3", "L2"}, 3},   {"down", 3, {"L0", "L1", "L2", "L3"}, -1},
    };
    for (const Case& c : cases) {
        TBase links = MakeLinks({0, 1, 2, 3});
        links.SetCurrent(9);
        const std::string move = c.move;
        if (move == "begin") links.MoveToBegin(c.position);
        if (move == "end") links.MoveToEnd(c.position);
        if (move == "up") links.MoveUp(c.position);
        if (move == "down") links.MoveDown(c.position);
        EXPECT_EQ(Captions(links), c.order) << move << " " << c.position;
        EXPECT_EQ(links.Current(), c.current < 0 ? 9 : c.current) << move << " " << c.position;
        // The whole record moves, not only the caption.
        for (const TBaseRecord& r : links.Records())
            EXPECT_EQ("L" + std::to_string(r.Category), r.Caption);
    }
}

TEST(TableMoves, DeleteSetsCurrent) {
    struct Case {
        int count;
        int position;
        int countAfter;
        int current;
    };
    const Case cases[] = {
        {1, 0, 0, 0},                // the only entry
        {3, 2, 2, 1},                // the last of three
        {3, 0, 2, 0},                // the first of three
        {3, 1, 2, 1}, {3, 3, 3, 9},  // beyond the table: nothing
    };
    for (const Case& c : cases) {
        TCat categories;
        for (int i = 0; i < c.count; ++i)
            categories.Add("C" + std::to_string(i));
        categories.SetCurrent(9);
        categories.Delete(c.position);
        EXPECT_EQ(categories.Count(), c.countAfter);
        EXPECT_EQ(categories.Current(), c.current) << c.count << " " << c.position;
    }
    TCat names = MakeCategories({"a", "b", "c"});
    names.Delete(1);
    EXPECT_EQ(names.Names(), (std::vector<std::string>{"a", "c"}));
}

TEST(CategoryCascades, FollowTheCategoryTable) {
    // After any move, of any category (the first and the last included, where
    // some moves do nothing), the links still name the same category names.
    const std::vector<std::string> names = {"A", "B", "C", "D", "E"};
    for (int a = 0; a < 5; ++a) {
        for (int move = 0; move < 4; ++move) {
            TCat categories = MakeCategories(names);
            TBase links = MakeLinks({4, 0, 3, 1, 2, 2, 0});
            std::vector<std::string> before;
            for (const TBaseRecord& r : links.Records())
                before.push_back(categories.Get(r.Category));
            switch (move) {
                case 0:
                    categories.MoveToBegin(a);
                    links.CatMovedToBegin(a);
                    break;
                case 1:
                    categories.MoveToEnd(a);
                    links.CatMovedToEnd(a, categories.Count());
                    break;
                case 2:
                    categories.MoveUp(a);
                    links.CatMovedUp(a);
                    break;
                default:
                    categories.MoveDown(a);
                    links.CatMovedDown(a, categories.Count());
                    break;
            }
            std::vector<std::string> after;
            for (const TBaseRecord& r : links.Records())
                after.push_back(categories.Get(r.Category));
            EXPECT_EQ(after, before) << "move " << move << " of " << a;
        }
    }
}

TEST(CategoryChanges, DeleteCategoryRemovesItsLinksAndRenumbers) {
    TCat categories = MakeCategories({"A", "B", "C"});
    TBase links = MakeLinks({0, 1, 2, 1, 0, 2});
    DeleteCategory(categories, links, 1);
    EXPECT_EQ(categories.Names(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(Captions(links), (std::vector<std::string>{"L0", "L2", "L4", "L5"}));
    EXPECT_EQ(CategoryNumbers(links), (std::vector<std::int32_t>{0, 1, 0, 1}));

    DeleteCategory(categories, links, 5);  // no such category
    EXPECT_EQ(links.Count(), 4);
}

TEST(CategoryChanges, DeletingLinksOneByOneSetsCurrentAsTheLastDeleteDoes) {
    struct Case {
        std::vector<std::int32_t> categories;
        int current;
    };
    const Case cases[] = {
        {{1, 0, 1}, 0},  // last deleted was the last entry: the new last position
        {{0, 1, 0}, 1},  // deleted at 1, not the last
        {{1}, 0},        // the only one
        {{0, 1}, 0},     // deleted at 1 as the last: position 0
        {{0, 2, 0}, 7},  // none deleted: unchanged
        {{1, 1, 0, 1, 1}, 0},
    };
    for (const Case& c : cases) {
        TBase links = MakeLinks(c.categories);
        links.SetCurrent(7);
        links.CatDeleted(1);
        EXPECT_EQ(links.Current(), c.current);
    }
}

TEST(CategoryChanges, DeleteAllLeavesOneCategory) {
    TCat categories = MakeCategories({"A", "B"});
    TBase links = MakeLinks({0, 1});
    DeleteAllCategories(categories, links);
    EXPECT_EQ(categories.Names(), (std::vector<std::string>{"All Categories"}));
    EXPECT_EQ(links.Count(), 0);
}

}  // namespace
}  // namespace qmp
