#pragma once
// The documents of a scan or an update: read ahead on the worker threads of
// an ExtractionPool, and put into Links in their order on the caller's
// thread, each after its progress is shown. Internal to the folder scan and
// the update.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "indexing/extraction_pool.h"
#include "indexing/folder_scan.h"
#include "indexing/link_update.h"
#include "indexing/link_url_index.h"
#include "indexing/rating_settings.h"

namespace qmp {

// The stored URLs of Links, kept in step with the table by the scans.
LinkUrlIndex& LinkedUrls();

class ScanQueue final {
public:
    // Reads `jobs` documents at once (ScanJobCount for a whole scan). With
    // `tracksUrls`, Queues can tell the URLs of the queued documents.
    ScanQueue(ScanHost& host, int jobs, bool tracksUrls = false);
    // Drops what was not taken, as a stop does.
    ~ScanQueue();
    ScanQueue(const ScanQueue&) = delete;
    ScanQueue& operator=(const ScanQueue&) = delete;

    // True once StopRequested was seen: nothing more is queued or taken, and
    // nothing that was queued and not taken is kept.
    bool Stopped() const { return stopped_; }

    // The record of the file at `path`, with `category`, is to be appended.
    void Append(std::string path, std::int32_t category);
    // The record of the file at `path`, with `category`, is to replace the
    // link at `position`.
    void Replace(int position, std::string path, std::int32_t category);
    // Only the progress of `path` is to be shown (a link the update leaves).
    void ShowOnly(std::string path);
    // The progress of `path` is to be shown and its link reported missing.
    void ReportMissing(std::string path, std::string decodedUrl);
    // An entry left out is to be reported (ScanHost::ReportSkipped).
    void Note(std::string text);

    // True when a queued document's record will have the URL `url`.
    bool Queues(std::string_view url) const;

    // Takes every queued document, in order.
    void Finish();

    const UpdateCounts& Counts() const { return counts_; }

private:
    enum class Action { kAppend, kReplace, kShowOnly, kReportMissing, kNote };
    struct Entry {
        Action action;
        std::string path;
        std::string url;  // kAppend with tracksUrls: the record's URL
        std::int32_t category = 0;
        int position = 0;        // kReplace
        std::string decodedUrl;  // kReportMissing; kNote: the note
    };

    // Queues a document to read, with the settings it is read with.
    void Read(Entry entry);
    void Queue(Entry entry);
    // Takes the oldest queued document, or stops when StopRequested is set.
    void TakeOne();
    void Stop();

    ScanHost& host_;
    ProjectSettingsWatch settings_;
    ExtractionPool pool_;
    std::size_t window_;  // documents queued at most
    bool tracksUrls_;
    bool stopped_ = false;
    std::deque<Entry> entries_;
    UpdateCounts counts_;
    std::function<void()> whileWaiting_;
};

}  // namespace qmp
