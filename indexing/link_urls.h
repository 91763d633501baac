#pragma once
// Where a link points: the URL a scanned file gets (relative to the
// database's folder, percent-encoded), the file a stored URL names, and the
// extension that decides whether a file is indexed at all.

#include <string>
#include <string_view>

namespace qmp {

// The URL of `filePath` as the database at `databasePath` stores it: the
// path relative to the database's folder ("../" for each folder to climb),
// in the database encoding, percent-encoded with "/" as %2F. Only "/"
// separates folders: on this system a backslash is a byte of a file name.
std::string RelativeUrl(std::string_view databasePath, std::string_view filePath);

// The file that the decoded URL `decodedUrl` (system ANSI text) of a link
// names: a full path (beginning with "/") as it is, anything else in the
// folder of `databasePath`.
std::string UrlToPath(std::string_view decodedUrl, std::string_view databasePath);

// The extension of the file-name part of `path`: the text after its last dot,
// without the dot, lower-cased; empty when the name has no dot. A dot in a
// folder's name never makes one.
std::string FileExtension(std::string_view path);

// True when FileExtension(path) is one of the extension list (Extensions).
bool HasListedExtension(std::string_view path);

}  // namespace qmp
