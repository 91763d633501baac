#include "indexing/folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "core/program_values.h"
#include "indexing/link_urls.h"
#include "indexing/project_settings.h"
#include "indexing/scan_queue.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {

std::atomic<bool> StopRequested{false};

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

enum class EntryKind { kFile, kFolder, kSkipped };

struct FolderEntry {
    std::string osName;
    EntryKind kind;
};

// A folder is entered only when it is one itself: a link to a folder is
// neither entered nor added, so that no link can lead a scan round in a
// loop. Everything else, a link to a file or a dangling link included, is a
// file.
EntryKind KindOf(const std::string& osPath, unsigned char type) {
    if (type == DT_DIR) return EntryKind::kFolder;
    if (type == DT_REG) return EntryKind::kFile;
    struct stat info {};
    if (::lstat(osPath.c_str(), &info) != 0) return EntryKind::kFile;
    if (S_ISDIR(info.st_mode)) return EntryKind::kFolder;
    if (S_ISLNK(info.st_mode) && ::stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return EntryKind::kSkipped;
    return EntryKind::kFile;
}

// The entries of a folder in the order of their names, so that a scan gives
// the same database on every machine.
std::vector<FolderEntry> ReadFolder(const std::string& osFolder) {
    std::vector<FolderEntry> entries;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(osFolder.c_str()));
    if (!dir) return entries;
    while (const dirent* entry = ::readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const EntryKind kind = KindOf(osFolder + name, entry->d_type);
        entries.push_back(FolderEntry{std::move(name), kind});
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.osName < b.osName; });
    return entries;
}

bool IsStopFolder(std::string_view name) {
    return std::find(StopDirList.begin(), StopDirList.end(), name) != StopDirList.end();
}

bool IsSettingsFile(std::string_view name) {
    return name == "set.xml" || name == "words.xml" || name == "tags.xml";
}

// The walk of a scan: the entries of `folder` in order, sub-folders at the
// point where they come, each file that is to be linked queued.
void Walk(ScanQueue& queue, std::string_view folder, std::int32_t category, bool recurse,
          bool addExisting) {
    if (StopRequested || queue.Stopped()) return;
    const std::string base = IncludeTrailingSeparator(folder);
    const std::vector<FolderEntry> entries = ReadFolder(ToOsPath(base));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && (StopRequested || queue.Stopped())) return;
        const FolderEntry& entry = entries[i];
        const std::string name = FromOsName(entry.osName);
        if (entry.kind == EntryKind::kFolder) {
            if (recurse && !IsStopFolder(name))
                Walk(queue, base + name + "/", category, recurse, addExisting);
        } else if (entry.kind == EntryKind::kFile) {
            std::string path = base + name;
            if (StopRequested || IsSettingsFile(name) || !HasListedExtension(path)) continue;
            if (!addExisting) {
                // Linked already, or about to be by a document read ahead.
                const std::string url = RelativeUrl(DatabasePath, path);
                if (LinkedUrls().Contains(Links, url) || queue.Queues(url)) continue;
            }
            queue.Append(std::move(path), category);
        }
    }
}

}  // namespace

int ScanJobs = 0;

int ScanJobCount() {
    const unsigned wanted = ScanJobs > 0 ? static_cast<unsigned>(ScanJobs)
                                         : std::max(std::thread::hardware_concurrency(), 1u);
    return static_cast<int>(std::min(wanted, kMaxScanJobs));
}

std::string ScanLabelText(std::string_view path, int linkCount) {
    return std::string(path) + "\r\nFiles indexed: " + std::to_string(linkCount);
}

std::string PageNotFoundText(std::string_view decodedUrl) {
    return "The page " + std::string(decodedUrl) + " is not found.";
}

bool IsLinkPresent(std::string_view filePath) {
    return LinkedUrls().Contains(Links, RelativeUrl(DatabasePath, filePath));
}

void AddFile(ScanHost& host, std::string_view filePath, std::int32_t category) {
    if (StopRequested) return;
    if (IsSettingsFile(ExtractFileName(filePath))) return;
    if (!HasListedExtension(filePath)) return;
    ScanQueue queue(host, 1);
    queue.Append(std::string(filePath), category);
    queue.Finish();
}

void ScanFolder(ScanHost& host, std::string_view folder, std::int32_t category, bool recurse,
                bool addExisting) {
    if (StopRequested) return;
    ScanQueue queue(host, ScanJobCount(), !addExisting);
    Walk(queue, folder, category, recurse, addExisting);
    queue.Finish();
}

}  // namespace qmp
