#pragma once
// Opening documents, folders and web pages with the desktop's programs, and
// the maker's web pages with the product query.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace qmp {

// The maker's pages; OpenMakerPage adds the product query.
inline constexpr std::string_view kMakerHomePage = "https://quarrymap.corvan.example/";
inline constexpr std::string_view kMakerDownloadPage = "https://quarrymap.corvan.example/download/";
inline constexpr std::string_view kUninstallFeedbackPage =
    "https://quarrymap.corvan.example/uninstall-feedback/";

// Opens a file, folder or web address (system ANSI text) with its program:
// `xdg-open target`, or the program named by QMPLIT_OPEN_COMMAND with the
// target as its one argument. Started detached; no shell is involved. Gives
// whether the program started; callers show nothing when it did not.
bool OpenWithShell(std::string_view target);

// Opens the file `fileName` of the program's folder.
bool OpenProgramDocument(std::string_view fileName);

// Opens `address` followed by the product query.
bool OpenMakerPage(std::string_view address);

// "?prd=qmplit&v=9.3.2&d=<days>&r=1", where days is the whole number of days
// (fraction cut off) from `installed` to `now`, both local date-times in
// seconds (see LocalSeconds).
std::string ProductQuery(std::int64_t installed, std::int64_t now);

// A moment as seconds of local date-time (the local calendar date and clock
// time counted as if they were UTC), so that differences follow the clock on
// the wall.
std::int64_t LocalSeconds(std::time_t moment);

// The installation date in local seconds: read from "qmplit_installed.txt" in
// `settingsDir`; when it is missing or unreadable, the current moment, which
// is recorded there (creating the folder) when `record` is true. The result
// is kept as the date OpenMakerPage uses.
std::int64_t LoadInstallationDate(std::string_view settingsDir, bool record);

// The date OpenMakerPage uses (the current moment until LoadInstallationDate runs).
std::int64_t InstallationDate();

}  // namespace qmp
