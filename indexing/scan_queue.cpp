#include "indexing/scan_queue.h"

#include <algorithm>

#include "core/program_values.h"
#include "indexing/link_urls.h"

namespace qmp {

LinkUrlIndex& LinkedUrls() {
    static LinkUrlIndex index;
    return index;
}

ScanQueue::ScanQueue(ScanHost& host, int jobs, bool tracksUrls)
    : host_(host),
      settings_(DatabasePath),
      pool_(jobs),
      // Twice as many documents as readers, so that none waits for work
      // while the caller shows progress and appends.
      window_(jobs > 1 ? 2 * static_cast<std::size_t>(jobs) : 1),
      tracksUrls_(tracksUrls),
      whileWaiting_([this] { host_.WhileWaiting(); }) {}

ScanQueue::~ScanQueue() {
    pool_.DiscardAll(whileWaiting_);
}

void ScanQueue::Append(std::string path, std::int32_t category) {
    Read(Entry{Action::kAppend, std::move(path), {}, category, 0, {}});
}

void ScanQueue::Replace(int position, std::string path, std::int32_t category) {
    Read(Entry{Action::kReplace, std::move(path), {}, category, position, {}});
}

void ScanQueue::ShowOnly(std::string path) {
    Queue(Entry{Action::kShowOnly, std::move(path), {}, 0, 0, {}});
}

void ScanQueue::ReportMissing(std::string path, std::string decodedUrl) {
    Queue(Entry{Action::kReportMissing, std::move(path), {}, 0, 0, std::move(decodedUrl)});
}

void ScanQueue::Note(std::string text) {
    Queue(Entry{Action::kNote, {}, {}, 0, 0, std::move(text)});
}

bool ScanQueue::Queues(std::string_view url) const {
    return std::any_of(entries_.begin(), entries_.end(), [url](const Entry& entry) {
        return entry.action == Action::kAppend && entry.url == url;
    });
}

void ScanQueue::Read(Entry entry) {
    if (stopped_) return;
    // The documents in the pool were read with the program-wide values as
    // they stand; before new settings change them, those are all taken.
    std::shared_ptr<const DocumentSettings> settings = settings_.Next([this] { Finish(); });
    if (stopped_) return;
    // The URL as the record will have it, with the values just set.
    if (tracksUrls_ && entry.action == Action::kAppend)
        entry.url = RelativeUrl(DatabasePath, entry.path);
    pool_.Submit({entry.path, DatabasePath, std::move(settings)});
    Queue(std::move(entry));
}

void ScanQueue::Queue(Entry entry) {
    if (stopped_) return;
    entries_.push_back(std::move(entry));
    while (entries_.size() >= window_ && !stopped_)
        TakeOne();
}

void ScanQueue::Finish() {
    while (!entries_.empty() && !stopped_)
        TakeOne();
}

void ScanQueue::Stop() {
    stopped_ = true;
    entries_.clear();
    pool_.DiscardAll(whileWaiting_);
}

void ScanQueue::TakeOne() {
    if (StopRequested) return Stop();
    Entry entry = std::move(entries_.front());
    entries_.pop_front();
    if (entry.action == Action::kNote) return host_.ReportSkipped(entry.decodedUrl);
    host_.ShowProgress(entry.path, Links.Count());
    switch (entry.action) {
        case Action::kAppend: {
            TBaseRecord record = pool_.TakeOldest(whileWaiting_);
            record.Category = entry.category;
            const std::uint64_t before = Links.Revision();
            Links.Add(std::move(record));
            LinkedUrls().NoteAdded(Links, before);
            return;
        }
        case Action::kReplace: {
            TBaseRecord record = pool_.TakeOldest(whileWaiting_);
            record.Category = entry.category;
            Links.Put(entry.position, std::move(record));
            ++counts_.updated;
            return;
        }
        case Action::kShowOnly:
            return;
        case Action::kReportMissing:
            host_.ReportPageNotFound(entry.decodedUrl);
            ++counts_.notFound;
            return;
        case Action::kNote:
            return;
    }
}

}  // namespace qmp
