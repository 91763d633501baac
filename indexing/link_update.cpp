#include "indexing/link_update.h"

#include "core/program_values.h"
#include "decoding/database_text.h"
#include "indexing/extraction.h"
#include "indexing/link_urls.h"
#include "system/paths.h"

namespace qmp {
UpdateCounts UpdateLinks(ScanHost& host) {
    UpdateCounts counts;
    const int count = Links.Count();
    for (int i = 0; i < count; ++i) {
        TBaseRecord record = Links.Get(i);
        const std::int32_t category = record.Category;
        if (record.URL.find("://") != std::string::npos) continue;
        const std::string decoded = FromDatabaseText(UrlDecode(record.URL));
        // A remote address typed into the link dialog is stored
        // percent-encoded, with "://" as %3A%2F%2F.
        if (decoded.find("://") != std::string::npos) continue;
        const std::string path = UrlToPath(decoded, DatabasePath);
        if (!HasListedExtension(path)) continue;
        if (StopRequested) break;
        host.ShowProgress(path, Links.Count());
        if (Links.IsUpdateLocked(i)) continue;
        // A folder of the page's name is no page.
        if (IsExistingFile(path)) {
            ExtractFile(path, DatabasePath, record);
            record.Category = category;
            Links.Put(i, std::move(record));
            ++counts.updated;
        } else {
            host.ReportPageNotFound(decoded);
            ++counts.notFound;
        }
    }
    return counts;
}

}  // namespace qmp
