#include "indexing/link_url_index.h"

namespace qmp {

bool LinkUrlIndex::Contains(const TBase& links, std::string_view url) {
    if (table_ != &links || revision_ != links.Revision()) Rebuild(links);
    return urls_.find(url) != urls_.end();
}

void LinkUrlIndex::NoteAdded(const TBase& links, std::uint64_t revisionBefore) {
    if (table_ != &links || revision_ != revisionBefore || links.Count() == 0) return;
    urls_.insert(links.Records().back().URL);
    revision_ = links.Revision();
}

void LinkUrlIndex::Rebuild(const TBase& links) {
    urls_.clear();
    urls_.reserve(links.Records().size());
    for (const TBaseRecord& record : links.Records())
        urls_.insert(record.URL);
    table_ = &links;
    revision_ = links.Revision();
}

}  // namespace qmp
