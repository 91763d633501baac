#include "core/project_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <utility>

#include "decoding/ansi_code_page.h"
#include "system/os_path.h"
#include "system/paths.h"
#include "system/temp_files.h"

namespace qmp {
namespace {

// The engine's own files that an author may have changed: never replaced
// without asking. The engine's page is qmp.html, so that it does not collide
// with a site's own search.html; an engine of older templates has that.
constexpr std::array<std::string_view, 4> kAskBeforeReplacing = {"searchdb.js", "qmp.html",
                                                                 "search.html", "qmptp.js"};

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether the close succeeded (a late write error
    // can show only here).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int fd_;
};

bool IsFolder(const std::string& osPath) {
    struct stat info {};
    return stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& osPath) {
    struct stat info {};
    return stat(osPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Exists(const std::string& osPath) {
    struct stat info {};
    return lstat(osPath.c_str(), &info) == 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyContent(int from, int to) {
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t n = read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(n))) return false;
    }
}

// Copies `source` to `target` through a temporary file beside the target
// that is flushed and then renamed over it; on any failure the target stays
// as it was and the temporary file is removed.
bool CopyFileSafely(const std::string& source, const std::string& target) {
    FileDescriptor in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (in.get() < 0 || fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::string temp = target + ".~qmpXXXXXX";
    FileDescriptor out(mkostemp(temp.data(), O_CLOEXEC));
    if (out.get() < 0) return false;
    const ScratchFile scratch(temp, true);
    const bool written = CopyContent(in.get(), out.get()) &&
                         fchmod(out.get(), info.st_mode & 07777) == 0 && fsync(out.get()) == 0;
    if (!out.Close() || !written || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

bool IsAskedName(std::string_view name) {
    return std::find(kAskBeforeReplacing.begin(), kAskBeforeReplacing.end(), name) !=
           kAskBeforeReplacing.end();
}

// Works on the operating system's names throughout, so that a template file
// whose name the code page cannot spell is still copied; the host sees the
// program's (system ANSI) form of each path.
class TreeCopier final {
public:
    TreeCopier(TemplateCopyHost& host, const std::string& destination) : host_(host) {
        struct stat info {};
        if (stat(destination.c_str(), &info) == 0) {
            destinationId_ = {info.st_dev, info.st_ino};
            haveDestination_ = true;
        }
    }

    void Copy(const std::string& source, const std::string& destination, bool top) {
        DirHandle dir(opendir(source.c_str()));
        if (!dir) return;
        if (top) result_.sourceFound = true;
        while (const dirent* entry = readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string from = source + name;
            struct stat info {};
            const bool link = lstat(from.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
            if (IsFolder(from)) {
                // Neither a linked folder nor the destination itself (a template
                // copied into one of its own folders) is entered: the copy must end.
                if (link || IsDestination(from)) continue;
                mkdir((destination + name).c_str(), 0777);  // an existing folder stays
                Copy(from + "/", destination + name + "/", false);
            } else {
                CopyFile(from, destination, name);
            }
        }
    }

    const CopyResult& result() const { return result_; }

private:
    void CopyFile(const std::string& from, const std::string& destination,
                  const std::string& name) {
        const std::string target = destination + name;
        if (IsAskedName(name) && Exists(target) &&
            !host_.AskReplace(ReplaceQuestionText(FromOsName(target)))) {
            ++result_.kept;
            return;
        }
        if (CopyFileSafely(from, target)) {
            ++result_.copied;
        } else {
            ++result_.failed;
            host_.ReportCopyError(CopyErrorText(FromOsName(from), FromOsName(destination)));
        }
    }

    bool IsDestination(const std::string& folder) const {
        struct stat info {};
        return haveDestination_ && stat(folder.c_str(), &info) == 0 &&
               info.st_dev == destinationId_.first && info.st_ino == destinationId_.second;
    }

    TemplateCopyHost& host_;
    CopyResult result_;
    std::pair<dev_t, ino_t> destinationId_{};
    bool haveDestination_ = false;
};

}  // namespace

std::string DefaultTemplatesDir() {
    return ProgramDir() + "Templates/";
}

std::vector<std::string> ListTemplates(std::string_view templatesDir) {
    std::vector<std::string> names;
    const std::string osDir = ToOsPath(IncludeTrailingSeparator(templatesDir));
    DirHandle dir(opendir(osDir.c_str()));
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && IsFolder(osDir + name))
            names.push_back(FromOsName(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = AnsiLowerCase(a), lb = AnsiLowerCase(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string ReplaceQuestionText(std::string_view targetPath) {
    return "File " + std::string(targetPath) + "\nis exists.\n\nReplace?";
}

std::string CopyErrorText(std::string_view sourcePath, std::string_view destination) {
    return "Cannot copy file " + std::string(sourcePath) + "\nto directory " +
           std::string(destination);
}

CopyResult CopyTree(std::string_view source, std::string_view destination, TemplateCopyHost& host) {
    if (source.empty() || destination.empty()) return {};
    const std::string osDestination = ToOsPath(IncludeTrailingSeparator(destination));
    TreeCopier copier(host, osDestination);
    copier.Copy(ToOsPath(IncludeTrailingSeparator(source)), osDestination, true);
    return copier.result();
}

CopyResult CreateProject(std::string_view templatesDir, std::string_view templateName,
                         std::string_view rootFolder, TemplateCopyHost& host) {
    // A template is one folder of the store, never a path that leads out of it.
    if (templatesDir.empty() || templateName.empty() || templateName == "." ||
        templateName == ".." || templateName.find('/') != std::string_view::npos) {
        return {};
    }
    return CopyTree(IncludeTrailingSeparator(templatesDir) + std::string(templateName) + "/",
                    rootFolder, host);
}

std::string StartPage(std::string_view databasePath) {
    const std::string folder = ExtractFilePath(databasePath);
    for (const char* name : {"qmp.html", "search.html", "index.html"}) {
        if (IsFile(ToOsPath(folder + name))) return folder + name;
    }
    return folder;
}

}  // namespace qmp
