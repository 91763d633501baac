#pragma once
// Paths made independent of how they were typed: full, without "." and ".."
// names or repeated separators, and through the folders that symbolic links
// lead to, so that one file always gets one URL. A database's folder and a
// scanned folder go through here before a URL is formed from them.

#include <string>
#include <string_view>

namespace qmp {

// `path` made full against `currentDir` (a full path) when it is relative,
// with empty and "." names dropped and each ".." taking away the name before
// it (at the root it takes nothing). Only the text is looked at. A final "/"
// stays, and a path ending in "." or ".." gets one. Works on system ANSI text
// and on the system's own alike: only "/" and "." count.
std::string NormalPath(std::string_view path, std::string_view currentDir);

// The real folder of `folder` (system ANSI text; relative to the working
// folder when not full): full, normal, with every symbolic link on the way
// replaced by the folder it leads to and each ".." taken as the system takes
// it; ending with "/". A folder that cannot be resolved (it does not exist,
// or its real path has characters the system code page lacks) gives
// NormalPath of it instead.
std::string RealFolder(std::string_view folder);

// The file `path` in its real folder (RealFolder of its folder part); the
// file's own name stays as it is, a symbolic link included, since the
// engine's pages find the file under that name.
std::string RealFilePath(std::string_view path);

// True when the file or folder `osPath` (the system's own text), followed
// through its symbolic links, lies inside the folder `osFolder` (the
// system's own text) at any depth, that folder's links followed too.
bool LeadsInside(const std::string& osPath, const std::string& osFolder);

}  // namespace qmp
