#pragma once
// Helpers for tests of markup readers: token lists and settings that are put
// back after each test.

#include <string>
#include <string_view>
#include <vector>

#include "core/file_buffer.h"
#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"

namespace qmp::test {

struct Tok {
    TokenKind kind;
    std::string text;
    bool operator==(const Tok&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Tok& t) {
    return out << '(' << static_cast<int>(t.kind) << ", \"" << t.text << "\")";
}

// Every token of `bytes` up to and including tkEnd, from a clean flag.
inline std::vector<Tok> Tokenize(std::string_view bytes) {
    PendingSpace = false;
    FileBuffer buffer = FileBufferFromBytes(bytes);
    std::vector<Tok> tokens;
    for (;;) {
        Token t = NextToken(buffer);
        tokens.push_back({t.Kind, t.Text});
        if (t.Kind == tkEnd || tokens.size() > bytes.size() + 2) break;
    }
    return tokens;
}

// Puts the project-wide switches, the flag and the code page back afterwards.
class ScopedProjectSettings final {
public:
    ScopedProjectSettings() { Reset(); }
    ~ScopedProjectSettings() { Reset(); }
    ScopedProjectSettings(const ScopedProjectSettings&) = delete;
    ScopedProjectSettings& operator=(const ScopedProjectSettings&) = delete;

private:
    static void Reset() {
        ResetProjectSettings();
        PendingSpace = false;
        SetSystemCodePage(kCharsetWindows1252);
    }
};

}  // namespace qmp::test
