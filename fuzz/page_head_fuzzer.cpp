// Arbitrary bytes as a page's head. The title and meta readers, which skip
// stretches that cannot hold the element they look for, must give exactly
// what reading every token does; the reading below follows the rules step by
// step through the tokenizer's public calls.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "core/program_values.h"
#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/page_head.h"

namespace {

using namespace qmp;

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

bool Stop(const Token& t) {
    return t.Kind == tkTagClose || t.Kind == tkEmptyTagClose || t.Kind == tkEnd;
}

bool Quote(const Token& t) {
    return t.Kind == tkSymbol && (t.Text == "\"" || t.Text == "'");
}

std::string ReferenceTitle(FileBuffer& buffer) {
    SeekBuffer(buffer, 0, SeekOrigin::kBegin);
    if (!FindElement(buffer, "title") || !SkipToTagEnd(buffer)) return {};
    std::string title;
    for (Token t = NextToken(buffer); t.Kind != tkEnd && !(t.Kind >= 5 && t.Kind <= 12);
         t = NextToken(buffer))
        title += t.Text;
    return title;
}

MetaFields ReferenceMetaAs(FileBuffer& buffer, CharsetId textCharset) {
    const auto NextToken = [textCharset](FileBuffer& b) {
        Token token;
        qmp::NextToken(b, token, textCharset);
        return token;
    };
    // A "<" directly followed by the word "meta", read as the same text.
    const auto FindMeta = [&NextToken](FileBuffer& b) {
        for (Token t = NextToken(b); t.Kind != tkEnd; t = NextToken(b)) {
            if (t.Kind != tkTagOpen) continue;
            t = NextToken(b);
            if (t.Kind == tkWord && AnsiLowerCase(t.Text) == "meta") return true;
            if (t.Kind == tkEnd) return false;
        }
        return false;
    };
    SeekBuffer(buffer, 0, SeekOrigin::kBegin);
    MetaFields fields;
    while (FindMeta(buffer)) {
        int kind = 0;  // 0 none, 1 description, 2 content type, 3 other
        std::string collected;
        for (;;) {
            Token t = NextToken(buffer);
            const auto nextWord = [&]() {
                do
                    t = NextToken(buffer);
                while (t.Kind != tkWord && !Stop(t));
                return t.Kind == tkWord;
            };
            if (t.Kind == tkWord && t.Text == "name") {
                if (nextWord()) kind = Lower(t.Text) == "description" ? 1 : 3;
            } else if (t.Kind == tkWord && t.Text == "charset") {
                if (nextWord()) fields.charset = Lower(t.Text);
            } else if (t.Kind == tkWord && t.Text == "http-equiv") {
                if (nextWord()) kind = Lower(t.Text) == "content-type" ? 2 : 3;
            } else if (t.Kind == tkWord && t.Text == "content") {
                do
                    t = NextToken(buffer);
                while (!Quote(t) && !Stop(t));
                if (Quote(t)) {
                    collected.clear();
                    for (t = NextToken(buffer); !Quote(t) && !Stop(t); t = NextToken(buffer))
                        if (t.Kind <= 4 || t.Kind == 13) collected += t.Text;
                }
            }
            if (t.Kind == tkTagClose || t.Kind == tkEmptyTagClose) {
                collected.clear();
                kind = 0;
            }
            if (kind == 3) break;
            if (kind == 2 && !collected.empty()) {
                const std::string lower = Lower(collected);
                if (lower.find('=') != std::string::npos)
                    fields.charset = lower.substr(lower.find('=') + 1);
                collected.clear();
            }
            if (kind == 1 && !collected.empty()) {
                fields.description = collected;
                break;
            }
            if (t.Kind == tkEnd) return fields;
        }
    }
    return fields;
}

// In UTF-8 mode a description is read again as the character set the page
// declares; the name of that set stays as first read.
MetaFields ReferenceMeta(FileBuffer& buffer) {
    MetaFields fields = ReferenceMetaAs(buffer, kCharsetUtf8);
    const CharsetId declared = CharsetFromName(fields.charset);
    if (UTF8Mode && declared != kCharsetUtf8)
        fields.description = ReferenceMetaAs(buffer, declared).description;
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the modes and the code page; the rest is the page.
    UTF8Mode = (data[0] & 1) != 0;
    ProgrammingLanguageMode = (data[0] & 2) != 0;
    SetSystemCodePage((data[0] & 4) != 0 ? 18 : kCharsetWindows1252);  // windows-1254 or 1252
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    FileBuffer buffer = FileBufferFromBytes(bytes);

    PendingSpace = false;
    const std::string title = ReadPageTitle(buffer);
    const MetaFields meta = ReadMetaFields(buffer);
    const bool pending = PendingSpace;

    PendingSpace = false;
    const std::string expectedTitle = ReferenceTitle(buffer);
    const MetaFields expectedMeta = ReferenceMeta(buffer);
    if (title != expectedTitle || meta.description != expectedMeta.description ||
        meta.charset != expectedMeta.charset || pending != PendingSpace) {
        __builtin_trap();
    }
    return 0;
}
