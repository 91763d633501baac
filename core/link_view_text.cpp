#include "core/link_view_text.h"

#include "decoding/database_text.h"
#include "decoding/display_text.h"

namespace qmp {

namespace {

constexpr std::string_view kLockMark = "~";

}  // namespace

std::string CategoryColumnText(const TCat& categories, std::int32_t category) {
    return DisplayText(categories.Get(category)) + " (" + std::to_string(category) + ")";
}

std::string UrlColumnText(const TBaseRecord& record) {
    return DisplayText(UrlDecode(record.URL));
}

std::vector<std::string> ShownKeywords(const TBaseRecord& record) {
    std::vector<std::string> shown;
    shown.reserve(record.Keywords.size());
    for (const std::string& keyword : record.Keywords)
        if (keyword != kLockMark) shown.push_back(DisplayText(keyword));
    return shown;
}

std::string KeywordsColumnText(const TBaseRecord& record) {
    std::string joined;
    const std::size_t count = record.Keywords.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (record.Keywords[i] == kLockMark) continue;
        joined += record.Keywords[i];
        if (i + 1 < count) joined += ", ";
    }
    return DisplayText(joined);
}

}  // namespace qmp
