#include "indexing/link_update.h"

#include <utility>

#include "core/program_values.h"
#include "decoding/database_text.h"
#include "indexing/link_urls.h"
#include "indexing/scan_queue.h"
#include "system/paths.h"

namespace qmp {
UpdateCounts UpdateLinks(ScanHost& host) {
    ScanQueue queue(host, ScanJobCount());
    const int count = Links.Count();
    for (int i = 0; i < count; ++i) {
        const TBaseRecord* record = std::as_const(Links).At(i);
        if (record->URL.find("://") != std::string::npos) continue;
        std::string decoded = FromDatabaseText(UrlDecode(record->URL));
        // A remote address typed into the link dialog is stored
        // percent-encoded, with "://" as %3A%2F%2F.
        if (decoded.find("://") != std::string::npos) continue;
        std::string path = UrlToPath(decoded, DatabasePath);
        if (!HasListedExtension(path)) continue;
        if (StopRequested || queue.Stopped()) break;
        if (Links.IsUpdateLocked(i)) {
            queue.ShowOnly(std::move(path));
        } else if (IsExistingFile(path)) {  // a folder of the page's name is no page
            queue.Replace(i, std::move(path), record->Category);
        } else {
            queue.ReportMissing(std::move(path), std::move(decoded));
        }
    }
    queue.Finish();
    return queue.Counts();
}

}  // namespace qmp
