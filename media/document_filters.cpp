#include "media/document_filters.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "media/filter_process.h"
#include "media/filter_registry.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

// Text arrives in pieces of this many UTF-16 units, each cut at its first NUL.
constexpr std::size_t kTextPieceUnits = 16384;
constexpr std::size_t kTitleLimit = 128;

// The extension of the file-name part of `path`, with its full stop.
std::string_view ExtensionOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot);
}

std::string ReplaceRuns(std::string_view text, std::size_t runLength) {
    const std::string run(runLength, ' ');
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(run); at != std::string_view::npos; at = text.find(run, from)) {
        result.append(text, from, at - from);
        result += ' ';
        from = at + runLength;
    }
    result.append(text, from);
    return result;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Replaces the file at `osPath` by a complete, flushed new one holding
// `bytes`: written beside it under a fresh name, then renamed over it.
bool ReplaceFileWith(const std::string& osPath, std::string_view bytes) {
    std::string temporary = osPath + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), osPath.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

}  // namespace

std::string FilterOutputToText(std::string_view utf8Output) {
    const std::u16string wide = Utf8ToWide(utf8Output);
    std::string text;
    for (std::size_t start = 0; start < wide.size(); start += kTextPieceUnits) {
        const std::u16string_view piece = std::u16string_view(wide).substr(start, kTextPieceUnits);
        std::string ansi = WideToAnsi(piece, ' ');
        ansi.resize(std::min(ansi.size(), ansi.find('\0')));
        text += ansi;
    }
    // One space after the text chunk, and one after each of the two reports
    // that no chunks remain.
    text += "   ";
    return text;
}

std::string FilterText(std::string_view path) {
    const std::optional<std::vector<std::string>> command =
        RegisteredFilterCommand(ExtensionOf(path));
    // A filter program would wait for ever on a named pipe or a device.
    if (!command || !IsExistingFile(path)) return {};
    const std::optional<std::string> output =
        RunFilterProgram(FilterArguments(*command, ToOsPath(path)));
    if (!output) return {};
    return FilterOutputToText(*output);
}

std::string ShortenSpaceRuns(std::string_view text) {
    std::string result(text);
    for (const std::size_t run : {10, 8, 4, 2})
        result = ReplaceRuns(result, run);
    return result;
}

std::string FilteredTextTitle(std::string_view text) {
    // Filters of this system end lines with a line feed, those of others with
    // a carriage return: either ends the first line.
    const std::size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos) return {};
    if (lineEnd < kTitleLimit) return std::string(text.substr(0, lineEnd + 1));
    return std::string(text.substr(0, kTitleLimit)) + "...";
}

bool FilterToTextFile(std::string_view documentPath, std::string_view outputPath, bool addTitle) {
    std::string text = ShortenSpaceRuns(FilterText(documentPath));
    if (text.empty() || text == " ") return false;
    if (addTitle) text = "<title>" + FilteredTextTitle(text) + "</title>" + text;
    return ReplaceFileWith(ToOsPath(outputPath), text);
}

}  // namespace qmp
