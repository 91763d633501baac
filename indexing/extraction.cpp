#include "indexing/extraction.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "core/file_buffer.h"
#include "core/integer_text.h"
#include "core/program_values.h"
#include "decoding/database_text.h"
#include "indexing/document_read.h"
#include "indexing/keyword_rating.h"
#include "indexing/link_urls.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/page_head.h"
#include "indexing/project_settings.h"
#include "indexing/rating_settings.h"
#include "media/audio_description_page.h"
#include "media/document_filters.h"
#include "system/os_path.h"
#include "system/paths.h"
#include "system/temp_files.h"

namespace qmp {
namespace {

constexpr std::array<std::string_view, 12> kPageExtensions = {
    "html", "htm", "shtml", "phtml", "php", "php3", "php4", "php5", "asp", "jsp", "txt", "m3u"};

bool IsPageExtension(std::string_view extension) {
    for (std::string_view page : kPageExtensions)
        if (page == extension) return true;
    return false;
}

bool IsAudioExtension(std::string_view extension) {
    return extension == "mp3" || extension == "ogg";
}

// Writes `bytes` to a new file at `path`. A file or link already under that
// name is removed first, so that a link planted in the temporary folder is
// never followed.
bool WriteTemporaryFile(const std::string& path, std::string_view bytes) {
    const std::string osPath = ToOsPath(path);
    ::unlink(osPath.c_str());
    const int fd = ::open(osPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
        } else {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(osPath.c_str());
    return ok;
}

void RemoveFile(const std::string& path) {
    ::unlink(ToOsPath(path).c_str());
}

// Bytes of 0x20 and below removed from both ends.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

// The double-quoted text after the first `marker` (any letter case), or
// nothing when the marker does not occur.
bool FindQuotedAfter(FileBuffer& buffer, std::string_view marker, std::string& text) {
    std::int64_t position = 0;
    if (!FindText(buffer, marker, position)) return false;
    text = ReadQuoted(buffer, '"');
    return true;
}

TBaseRecord EmptyRecord() {
    return TBaseRecord{};
}

}  // namespace

std::string JsUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            out.push_back(text[++i]);
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string TempPagePath() {
    return TempFileName("tor");
}

namespace {

// ExtractHtml with the document's settings given.
void ExtractHtmlWith(const DocumentSettings& settings, std::string_view filePath,
                     std::string_view namePath, TBaseRecord& record,
                     std::string_view databasePath) {
    // A document is read from a clear flag, whatever the one before left.
    PendingSpace = false;
    TRating rating = settings.rating;

    record = EmptyRecord();
    record.URL = RelativeUrl(databasePath, filePath);

    FileBuffer buffer = OpenDocument(filePath);
    MetaFields meta = ReadMetaFields(buffer);
    const std::string& charset = meta.charset;
    std::string caption = ReadPageTitle(buffer, charset);
    record.Description = ToDatabaseText(meta.description, charset);
    record.Caption = ToDatabaseText(caption, charset);

    if (FileNameCaptionMode) record.Caption = ToDatabaseText(ExtractFileName(namePath), "");
    std::string marked;
    if (!JSPageTitleSign.empty() && FindQuotedAfter(buffer, JSPageTitleSign, marked))
        record.Caption = ToDatabaseText(JsUnescape(marked), charset);
    if (!JSPageDescSign.empty() && FindQuotedAfter(buffer, JSPageDescSign, marked))
        record.Description = ToDatabaseText(JsUnescape(marked), charset);
    // Both marks are looked for in one pass.
    const auto [keywordsEnd, categoryEnd] =
        FindQuotedMarks(buffer, std::array{kKeywordsMark, kCategoryMark});
    if (categoryEnd >= 0) {
        SeekBuffer(buffer, categoryEnd, SeekOrigin::kBegin);
        marked = ReadQuoted(buffer, '"');
        if (!marked.empty()) record.Category = IntegerPrefix(Trim(marked));
    }

    // The document is rated from the bytes already read.
    std::string excerpt;
    RateDocument(rating, *settings.lookup, buffer, namePath, excerpt, charset, keywordsEnd);
    CloseFileBuffer(buffer);
    if (record.Description.empty() && !excerpt.empty())
        record.Description = "..." + excerpt + "...";
    record.Keywords.reserve(rating.WordList.size());
    for (TWordRecord& word : rating.WordList)
        record.Keywords.push_back(std::move(word.Word));
    // A page may hold control bytes or, in UTF-8 mode, bytes that are no
    // UTF-8; the search page would show them garbled, or not at all.
    record.Caption = StorableText(record.Caption);
    record.Description = StorableText(record.Description);
    for (std::string& keyword : record.Keywords)
        keyword = StorableText(keyword);
}

// ExtractAudio with the document's settings given.
void ExtractAudioWith(const DocumentSettings& settings, std::string_view filePath,
                      std::string_view databasePath, TBaseRecord& record) {
    const std::string page = AudioDescriptionPage(filePath);
    const std::string name = TempPagePath();
    if (name.empty()) return;
    const std::string pagePath = name + ".html";
    if (!WriteTemporaryFile(pagePath, page)) return;
    ExtractHtmlWith(settings, pagePath, filePath, record, databasePath);
    RemoveFile(pagePath);
    record.URL = RelativeUrl(databasePath, filePath);
}

}  // namespace

void ExtractHtml(std::string_view filePath, std::string_view namePath, TBaseRecord& record,
                 std::string_view databasePath) {
    ExtractHtmlWith(*LoadDocumentSettings(databasePath), filePath, namePath, record, databasePath);
}

void ExtractAudio(std::string_view filePath, std::string_view databasePath, TBaseRecord& record) {
    ExtractAudioWith(*LoadDocumentSettings(databasePath), filePath, databasePath, record);
}

void ExtractFile(std::string_view filePath, std::string_view databasePath, TBaseRecord& record) {
    ExtractFileWith(*LoadDocumentSettings(databasePath), filePath, databasePath, record);
}

void ExtractFileWith(const DocumentSettings& settings, std::string_view filePath,
                     std::string_view databasePath, TBaseRecord& record) {
    const std::string extension = FileExtension(filePath);
    record = EmptyRecord();
    if (IsAudioExtension(extension)) {
        ExtractAudioWith(settings, filePath, databasePath, record);
        if (!record.Keywords.empty()) return;
        record.Caption.clear();
        const std::string url = RelativeUrl(databasePath, filePath);
        record.URL = url;
        const std::string name = TempPagePath();
        if (!name.empty()) {
            const std::string textPath = name + ".txt";
            if (FilterToTextFile(filePath, textPath, true))
                ExtractHtmlWith(settings, textPath, filePath, record, databasePath);
            RemoveFile(textPath);
        }
        record.URL = url;
        if (record.Keywords.empty())
            ExtractHtmlWith(settings, filePath, filePath, record, databasePath);
    } else if (IsPageExtension(extension)) {
        ExtractHtmlWith(settings, filePath, filePath, record, databasePath);
    } else {
        record.Description = std::string(kUnsupportedExtensionMessage);
    }
}

}  // namespace qmp
