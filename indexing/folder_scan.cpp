#include "indexing/folder_scan.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "core/program_values.h"
#include "decoding/utf8_codec.h"
#include "indexing/link_urls.h"
#include "indexing/project_settings.h"
#include "indexing/scan_queue.h"
#include "system/code_page_choice.h"
#include "system/full_path.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {

std::atomic<bool> StopRequested{false};

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// What an entry of a folder is to the scan.
enum class EntryKind {
    kFile,
    kFolder,
    kFolderLink,  // never entered, so that no link can lead a scan round in a loop
    kFileLink,    // a file when it lies inside the scanned folder
    kDanglingLink,
    kPipe,
    kSocket,
    kDevice,
};

struct FolderEntry {
    std::string osName;
    EntryKind kind;
};

EntryKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return EntryKind::kFolder;
    if (S_ISFIFO(mode)) return EntryKind::kPipe;
    if (S_ISSOCK(mode)) return EntryKind::kSocket;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return EntryKind::kDevice;
    return EntryKind::kFile;
}

// The kind of the entry at `osPath`, from the folder's own record of it when
// that tells (no further call), else from its status. An entry whose status
// cannot be had is a file that reads as empty.
EntryKind KindOf(const std::string& osPath, unsigned char type) {
    switch (type) {
        case DT_DIR:
            return EntryKind::kFolder;
        case DT_REG:
            return EntryKind::kFile;
        case DT_FIFO:
            return EntryKind::kPipe;
        case DT_SOCK:
            return EntryKind::kSocket;
        case DT_CHR:
        case DT_BLK:
            return EntryKind::kDevice;
        default:
            break;
    }
    struct stat info {};
    if (::lstat(osPath.c_str(), &info) != 0) return EntryKind::kFile;
    if (!S_ISLNK(info.st_mode)) return KindOfMode(info.st_mode);
    if (::stat(osPath.c_str(), &info) != 0) return EntryKind::kDanglingLink;
    const EntryKind target = KindOfMode(info.st_mode);
    if (target == EntryKind::kFolder) return EntryKind::kFolderLink;
    return target == EntryKind::kFile ? EntryKind::kFileLink : target;
}

// The entries of a folder in the order of their names, so that a scan gives
// the same database on every machine. `error` is the system's error number
// when the folder cannot be read, 0 otherwise.
std::vector<FolderEntry> ReadFolder(const std::string& osFolder, int& error) {
    std::vector<FolderEntry> entries;
    error = 0;
    if (osFolder.size() >= PATH_MAX) {
        error = ENAMETOOLONG;
        return entries;
    }
    std::unique_ptr<DIR, DirCloser> dir(::opendir(osFolder.c_str()));
    // A folder that may be listed but not searched would give files that
    // cannot be opened: it cannot be read either.
    if (!dir || ::access(osFolder.c_str(), X_OK) != 0) {
        error = errno;
        return entries;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            error = errno;
            break;
        }
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

std::string ErrorText(int error) {
    return std::system_category().message(error);
}

// `osText` (a path as the system gives it) as UTF-8 that a window or a
// terminal shows safely: each byte that is no part of valid UTF-8, and each
// control character, as \xNN, so that the entry can still be told and found.
std::string ShownOsText(std::string_view osText) {
    std::string shown;
    shown.reserve(osText.size());
    const auto escape = [&shown](std::string_view bytes) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            shown += "\\x";
            shown.push_back(kDigits[b >> 4]);
            shown.push_back(kDigits[b & 0xF]);
        }
    };
    while (!osText.empty()) {
        char32_t c = 0;
        const std::size_t n = utf8::WellFormedSequence(osText, c);
        if (n == 0) {
            escape(osText.substr(0, 1));
            osText.remove_prefix(1);
            continue;
        }
        const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0) || utf8::IsSurrogate(c);
        if (control) {
            escape(osText.substr(0, n));
        } else {
            shown.append(osText.substr(0, n));
        }
        osText.remove_prefix(n);
    }
    return shown;
}

// Why an entry is left out whose name the system code page cannot hold,
// and how to have it taken.
std::string NameNotHeldText(const std::string& osPath, std::string_view osName, bool folder) {
    const UnheldName unheld = WhyNotHeld(osName);
    return (folder ? "The name of the folder " : "The name of ") + ShownOsText(osPath) + " " +
           unheld.why + (folder ? "; its files are left out." : "; it is left out.") +
           " To take it, " + unheld.remedy + ".";
}

// The walk of a scan: the entries of a folder in order, sub-folders at the
// point where they come, each file that is to be linked queued, and each
// entry that is left out noted in its place.
class Walk final {
public:
    Walk(ScanQueue& queue, std::string osTop, std::int32_t category, bool recurse, bool addExisting)
        : queue_(queue),
          osTop_(std::move(osTop)),
          category_(category),
          recurse_(recurse),
          addExisting_(addExisting) {}

    // Walks `folder` (system ANSI text, ending with "/"), whose name in the
    // system's own text is `osFolder`. Gives the system's error number when
    // the folder cannot be read, 0 otherwise.
    int Folder(const std::string& folder, const std::string& osFolder) {
        if (StopRequested || queue_.Stopped()) return 0;
        int error = 0;
        const std::vector<FolderEntry> entries = ReadFolder(osFolder, error);
        if (entries.empty() && error != 0) return error;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i > 0 && (StopRequested || queue_.Stopped())) return 0;
            Entry(folder, osFolder, entries[i]);
        }
        // Some entries came before the folder failed to give the others.
        if (error != 0) Note(FolderNotReadText(osFolder, error));
        return 0;
    }

private:
    static std::string FolderNotReadText(const std::string& osFolder, int error) {
        if (error == ENAMETOOLONG)
            return "The path of the folder " + ShownOsText(osFolder) +
                   " is longer than the system allows; its files are left out.";
        return "The folder " + ShownOsText(osFolder) + " cannot be read (" + ErrorText(error) +
               "); its files are left out.";
    }

    void Note(std::string text) { queue_.Note(std::move(text)); }

    void Entry(const std::string& folder, const std::string& osFolder, const FolderEntry& entry) {
        const bool held = IsHeldName(entry.osName);
        const std::string name = held ? FromOsName(entry.osName) : entry.osName;
        if (entry.kind == EntryKind::kFolder) {
            if (!recurse_ || (held && IsStopFolder(name))) return;
            const std::string osPath = osFolder + entry.osName + "/";
            if (!held) return Note(NameNotHeldText(osPath, entry.osName, true));
            const int error = Folder(folder + name + "/", osPath);
            if (error != 0) Note(FolderNotReadText(osPath, error));
            return;
        }
        if (entry.kind == EntryKind::kFolderLink) return;
        // Only what a link would have been made of is noted when left out.
        if (StopRequested || IsSettingsFile(name) || !HasListedExtension(name)) return;
        const bool ordinary = entry.kind == EntryKind::kFile && held &&
                              osFolder.size() + entry.osName.size() < PATH_MAX;
        if (!ordinary) return OddEntry(osFolder + entry.osName, entry, folder + name);
        Take(folder + name);
    }

    // A file that is not simply a file: noted and left out, unless it is a
    // link that stays inside the scanned folder.
    void OddEntry(const std::string& osPath, const FolderEntry& entry, std::string path) {
        switch (entry.kind) {
            case EntryKind::kDanglingLink:
                return Note(ShownOsText(osPath) +
                            " is a symbolic link that leads to no file; it is left out.");
            case EntryKind::kPipe:
                return Note(ShownOsText(osPath) + " is a named pipe, not a file; it is left out.");
            case EntryKind::kSocket:
                return Note(ShownOsText(osPath) + " is a socket, not a file; it is left out.");
            case EntryKind::kDevice:
                return Note(ShownOsText(osPath) + " is a device, not a file; it is left out.");
            case EntryKind::kFileLink:
                // A link must not bring a file from elsewhere on the machine
                // into a public database.
                if (!LeadsInside(osPath, osTop_))
                    return Note(ShownOsText(osPath) +
                                " is a symbolic link to a file outside the scanned folder; it is "
                                "left out.");
                break;
            default:
                break;
        }
        if (!IsHeldName(entry.osName)) return Note(NameNotHeldText(osPath, entry.osName, false));
        if (osPath.size() >= PATH_MAX)
            return Note("The path of " + ShownOsText(osPath) +
                        " is longer than the system allows; it is left out.");
        Take(std::move(path));
    }

    // Queues the file at `path` to be linked, unless it is linked already.
    void Take(std::string path) {
        if (!addExisting_) {
            // Linked already, or about to be by a document read ahead.
            const std::string url = RelativeUrl(DatabasePath, path);
            if (LinkedUrls().Contains(Links, url) || queue_.Queues(url)) return;
        }
        queue_.Append(std::move(path), category_);
    }

    ScanQueue& queue_;
    const std::string osTop_;
    const std::int32_t category_;
    const bool recurse_;
    const bool addExisting_;
};

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

std::string ScanFolder(ScanHost& host, std::string_view folder, std::int32_t category, bool recurse,
                       bool addExisting) {
    if (StopRequested) return {};
    const std::string top = RealFolder(folder);
    const std::string osTop = ToOsPath(top);
    ScanQueue queue(host, ScanJobCount(), !addExisting);
    const int error = Walk(queue, osTop, category, recurse, addExisting).Folder(top, osTop);
    queue.Finish();
    if (error == 0) return {};
    return "The folder " + top + " cannot be read: " + ErrorText(error) + ".";
}

}  // namespace qmp
