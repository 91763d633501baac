#pragma once
// Folders the program lives in and works with. Every folder path returned here
// ends with "/" and is system ANSI text, like every path the program holds.

#include <string>
#include <string_view>

namespace qmp {

// The folder of the running program file (/proc/self/exe), ending with "/".
std::string ProgramDir();

// Overrides ProgramDir (tests, and tools that serve another program's data);
// an empty text goes back to the running program's folder.
void SetProgramDirOverride(std::string_view dir);

// $HOME/Documents/ when that folder exists, else $HOME/; "/" when HOME is empty.
std::string DocumentsDir();

// $XDG_CONFIG_HOME, else $HOME/.config; ending with "/"; empty when neither is known.
std::string ConfigHomeDir();

// The install prefix given at build time, ending with "/".
std::string ProgramFilesDir();

// True when the program does not run from below the install prefix (the build
// folder, a USB stick): it then keeps its settings beside itself.
bool IsPortableInstall();

// True when `path` (system ANSI text) is a regular file or a symbolic link to
// one: a folder of that name does not count, nor does a path holding a NUL byte.
bool IsExistingFile(std::string_view path);

// True when `path` (system ANSI text) is a folder or a symbolic link to one.
bool IsExistingFolder(std::string_view path);

// The file that `path` (system ANSI text) names: when it is a symbolic link,
// the file the links lead to, a relative link read from the link's folder.
// `path` itself when it is no link (or does not exist). Empty, with the
// system's error number in `error`, when the links cannot be followed (too
// many, or a name the system code page cannot hold).
std::string FollowFileLinks(std::string_view path, int& error);

// The permission bits, owner and group of the file `path` names.
struct FileOwnership {
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
};
bool ReadFileOwnership(std::string_view path, FileOwnership& ownership);

// True when the file `path` names is marked read-only: the system refuses to
// let this process write it, or nobody has the right to write it (a mark that
// a privileged user could pass over, but that its owner set on purpose).
bool IsReadOnlyFile(std::string_view path);

// `path` with a "/" appended unless it already ends with one.
std::string IncludeTrailingSeparator(std::string_view path);

// The folder part of `path`: everything up to and including its last "/".
std::string ExtractFilePath(std::string_view path);

// The file-name part of `path`: everything after its last "/".
std::string ExtractFileName(std::string_view path);

}  // namespace qmp
