#pragma once
// Refreshing every link of the table from its file.

#include <string_view>

#include "indexing/folder_scan.h"

namespace qmp {

// What an update did.
struct UpdateCounts {
    int updated = 0;   // links read again from their files
    int notFound = 0;  // links whose file is missing (each reported)
};

// Reads again the file of every link of Links that points to a local file of
// a listed type and replaces the link's caption, description and keywords,
// keeping its category. Remote links (a URL with "://"), links of unlisted
// types and links whose keywords hold "~" or "dont_update" stay as they are;
// a missing file is reported through `host` and its link stays. Stops early
// when StopRequested is set.
UpdateCounts UpdateLinks(ScanHost& host);

}  // namespace qmp
