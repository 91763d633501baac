#pragma once
// Filling the link table from the files of a website: the folder scan, and
// the stop flag that ends a scan or an update early.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace qmp {

// Set to stop a running scan or update before its next file: by the scanning
// window's Stop button, or by the command line's interrupt handler (a
// lock-free atomic, so a signal handler may set it). The caller clears it
// before the operation and sets it when the operation has returned.
extern std::atomic<bool> StopRequested;
static_assert(std::atomic<bool>::is_always_lock_free);

// What a scan or an update shows while it works: the scanning window, or the
// command line's progress line.
class ScanHost {
public:
    virtual ~ScanHost() = default;
    // Before each file is linked (or its link replaced): the file's path and
    // the number of links so far (the window's label: ScanLabelText); then
    // pending window messages run, which is when a Stop is seen. Called on
    // the thread that started the scan, as are the other calls.
    virtual void ShowProgress(std::string_view path, int linkCount) = 0;
    // The update found no file for a link whose decoded URL is `decodedUrl`:
    // the warning PageNotFoundText (caption "Warning"). The update goes on.
    virtual void ReportPageNotFound(std::string_view decodedUrl) = 0;
    // Called every 50 ms while a scan or an update waits for a file that
    // takes long to read, so that the window stays alive and a Stop is seen
    // before the next file.
    virtual void WhileWaiting() {}
    // The scan leaves out an entry of the site that a link would have been
    // made of, or a folder it would have entered: `text` names it and says
    // why. It is UTF-8 text for a person, not system ANSI
    // text, since the name may be one the system code page cannot spell.
    // Called in the order of the walk, between the files' progress.
    virtual void ReportSkipped(std::string_view text) { static_cast<void>(text); }
};

// How many documents a scan or an update reads at once, each on a worker
// thread of its own: 0 (the default) takes one for each core of the machine,
// 1 reads them one after another on the caller's thread. The walk of the
// folders, the test for files linked already, the progress and every change
// to Links stay on the caller's thread, in order, so Links comes out the
// same for every number; a Stop keeps nothing that was read ahead. The
// window's setting and qmp's --jobs option set it before a scan or update.
extern int ScanJobs;
inline constexpr unsigned kMaxScanJobs = 256;

// ScanJobs, with 0 taken as the machine's number of cores; at most
// kMaxScanJobs.
int ScanJobCount();

// The scanning window's label: the path, a line break (CR LF) and
// "Files indexed: " with the number of links.
std::string ScanLabelText(std::string_view path, int linkCount);

// "The page %s is not found." with the decoded URL for %s.
std::string PageNotFoundText(std::string_view decodedUrl);

// Appends to Links one link per file of a listed type in `folder` (a path
// ending with "/"; it is first made full and real, RealFolder, so that the
// URLs do not depend on how it was typed) and, when `recurse` is set, in its
// sub-folders at any depth, except those named in the stop-folder list and
// folders reached through a symbolic link. The entries of each folder are
// taken in the order of their names. Files already linked are skipped unless
// `addExisting` is set. Every added link gets `category`. Stops early when
// StopRequested is set; the links added so far stay.
// Left out, each reported to the host (ReportSkipped): symbolic links to a
// file outside the folder or to nothing, named pipes, sockets and devices,
// names the system code page cannot hold, paths past the system's limit, and
// sub-folders that cannot be read.
// Gives the error (system ANSI text) when `folder` itself cannot be read,
// and then adds nothing; empty otherwise.
std::string ScanFolder(ScanHost& host, std::string_view folder, std::int32_t category, bool recurse,
                       bool addExisting);

// Appends the link record of the file at `filePath` with `category`, unless
// the file is one of the rating settings files, its extension is not in the
// extension list, or StopRequested is set.
void AddFile(ScanHost& host, std::string_view filePath, std::int32_t category);

// True when some link of Links has exactly the URL that the file at
// `filePath` gets in the database at DatabasePath.
bool IsLinkPresent(std::string_view filePath);

}  // namespace qmp
