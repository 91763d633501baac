#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/link_table.h"
#include "decoding/database_text.h"

namespace qmp {
namespace {

TBaseRecord Link(std::string caption) {
    TBaseRecord r;
    r.Caption = std::move(caption);
    return r;
}

std::vector<std::string> Captions(const TBase& links) {
    std::vector<std::string> out;
    for (const TBaseRecord& r : links.Records())
        out.push_back(r.Caption);
    return out;
}

TEST(LinkSort, TiesAreNotKeptInOrder) {
    TBase links;
    links.Add(Link("B1"));
    links.Add(Link("B2"));
    links.Add(Link("A"));
    for (TBaseRecord* r : {links.At(0), links.At(1)})
        r->Description = "B";
    links.At(2)->Description = "A";
    links.SetCurrent(1);
    links.SortByDescription();
    EXPECT_EQ(Captions(links), (std::vector<std::string>{"A", "B2", "B1"}));
    EXPECT_EQ(links.Current(), 1);
}

TEST(LinkSort, CaptionsCompareAsBytes) {
    TBase links;
    for (const char* c : {"apple", "Zebra", "\xe9t\xe9", "app", "", "Apple"})
        links.Add(Link(c));
    links.SortByCaption();
    // Capitals before small letters, a prefix first, bytes above 0x7F last.
    EXPECT_EQ(Captions(links),
              (std::vector<std::string>{"", "Apple", "Zebra", "app", "apple", "\xe9t\xe9"}));
}

TEST(LinkSort, ByCategoryAsSignedNumbers) {
    TBase links;
    for (std::int32_t c : {3, -1, 0, 2147483647, -2147483647 - 1}) {
        TBaseRecord r;
        r.Category = c;
        links.Add(r);
    }
    links.SortByCat();
    std::vector<std::int32_t> order;
    for (const TBaseRecord& r : links.Records())
        order.push_back(r.Category);
    EXPECT_EQ(order, (std::vector<std::int32_t>{-2147483647 - 1, -1, 0, 3, 2147483647}));
}

TEST(LinkSort, KeywordKeyTakesFourKeywords) {
    TBaseRecord five;
    five.Keywords = {"a", "b", "c", "d", "e"};
    TBaseRecord four;
    four.Keywords = {"a", "b", "c", "d"};
    TBaseRecord none;
    EXPECT_EQ(KeywordSortKey(five), "a, b, c, d, ");
    EXPECT_EQ(KeywordSortKey(four), "a, b, c, d");
    EXPECT_EQ(KeywordSortKey(none), "");

    TBase links;
    five.Caption = "five";
    four.Caption = "four";
    links.Add(five);
    links.Add(four);
    links.SortByKeys();
    EXPECT_EQ(Captions(links), (std::vector<std::string>{"four", "five"}));
}

TEST(LinkSort, UrlsSortDecoded) {
    ScopedUtf8Mode ansi(false);
    TBase links;
    TBaseRecord r;
    r.Caption = "underscore";
    r.URL = "My_File.html";
    links.Add(r);
    r.Caption = "escaped space";
    r.URL = "My%20File.html";  // "My File.html": a space sorts before "_"
    links.Add(r);
    links.SortByURL();
    EXPECT_EQ(Captions(links), (std::vector<std::string>{"escaped space", "underscore"}));
}

// The sort as written: a selection sort that recomputes keys at every comparison.
void DirectSelectionSort(std::vector<TBaseRecord>& records,
                         const std::function<std::string(const TBaseRecord&)>& key) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::size_t b = i;
        std::string m = key(records[i]);
        for (std::size_t j = i; j < records.size(); ++j) {
            if (key(records[j]) < m) {
                b = j;
                m = key(records[j]);
            }
        }
        if (b != i) std::swap(records[i], records[b]);
    }
}

std::string KeysByRule(const TBaseRecord& r) {
    std::string key;
    for (std::size_t i = 0; i < r.Keywords.size() && i < 4; ++i) {
        key += r.Keywords[i];
        if (i != r.Keywords.size() - 1) key += ", ";
    }
    return key;
}

std::string CategoryAsOrderedText(const TBaseRecord& r) {
    // Offset so that signed order is byte order of fixed-width text.
    char text[16];
    std::snprintf(text, sizeof text, "%010lld", static_cast<long long>(r.Category) + 2147483648LL);
    return text;
}

TEST(LinkSort, EveryKeyGivesTheDirectSelectionSortOrder) {
    ScopedUtf8Mode ansi(false);
    std::mt19937 random(20240611);
    // Few distinct values per field, so that ties abound.
    const std::vector<std::string> words = {"", "a", "b", "B", "ab", "a b", "\xe9", "z"};
    const std::vector<std::string> urls = {"a.html", "a%20b.html", "a b.html",
                                           "A.html", "%41.html",   "b.html"};
    auto pick = [&random](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    std::vector<TBaseRecord> records(2000);
    for (std::size_t i = 0; i < records.size(); ++i) {
        TBaseRecord& r = records[i];
        r.Category = std::uniform_int_distribution<std::int32_t>(-2, 4)(random);
        r.Caption = pick(words);
        r.URL = pick(urls);
        r.Description = pick(words) + pick(words);
        const int keywordCount = std::uniform_int_distribution<int>(0, 6)(random);
        for (int k = 0; k < keywordCount; ++k)
            r.Keywords.push_back(pick(words) + "k");
    }

    struct Sort {
        const char* name;
        void (TBase::*run)();
        std::function<std::string(const TBaseRecord&)> key;
        std::string TBaseRecord::*tag;  // a field outside the key that tells records apart
    };
    const Sort sorts[] = {
        {"category", &TBase::SortByCat, CategoryAsOrderedText, &TBaseRecord::Caption},
        {"caption", &TBase::SortByCaption, [](const TBaseRecord& r) { return r.Caption; },
         &TBaseRecord::Description},
        {"description", &TBase::SortByDescription,
         [](const TBaseRecord& r) { return r.Description; }, &TBaseRecord::Caption},
        {"url", &TBase::SortByURL,
         [](const TBaseRecord& r) { return FromDatabaseText(UrlDecode(r.URL)); },
         &TBaseRecord::Caption},
        {"keywords", &TBase::SortByKeys, KeysByRule, &TBaseRecord::Caption},
    };
    for (const Sort& sort : sorts) {
        std::vector<TBaseRecord> tagged = records;
        for (std::size_t i = 0; i < tagged.size(); ++i)
            tagged[i].*sort.tag += "#" + std::to_string(i);
        std::vector<TBaseRecord> expected = tagged;
        DirectSelectionSort(expected, sort.key);
        TBase links;
        for (const TBaseRecord& r : tagged)
            links.Add(r);
        (links.*sort.run)();
        ASSERT_EQ(links.Count(), static_cast<int>(expected.size()));
        EXPECT_TRUE(links.Records() == expected) << sort.name;
    }
}

}  // namespace
}  // namespace qmp
