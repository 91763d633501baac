#pragma once
// Checks the reader's counted runs (SkipToTagEnd, SkipTextToTag) against
// reading the same tokens one by one, from token boundaries of a document:
// the same tokens, the same sum of text lengths, the same position and the
// same pending space. Shared by the unit tests and the tokenizer's fuzz
// target; needs nothing but the tokenizer.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "indexing/markup_tokenizer.h"

namespace qmp::test {

// Where a reader stands between two tokens.
struct ReaderState {
    std::int64_t position;
    bool pendingSpace;
};

// What went wrong, or empty.
inline std::string CheckRunsFrom(std::string_view bytes, const ReaderState& start,
                                 std::int64_t room) {
    const auto describe = [&](const char* what) {
        return std::string(what) + " from byte " + std::to_string(start.position) +
               (start.pendingSpace ? " with a pending space" : "");
    };
    // The counted runs.
    for (int run = 0; run < 3; ++run) {
        FileBuffer fast = FileBufferFromBytes(bytes);
        SeekBuffer(fast, start.position, SeekOrigin::kBegin);
        PendingSpace = start.pendingSpace;
        TokenView fastToken;
        std::int64_t fastLength = 0;
        bool counted = false;
        {
            TokenReader reader(fast);
            counted = run < 2 ? reader.SkipToTagEnd(run == 0, fastToken, fastLength)
                              : reader.SkipTextToTag(room, fastLength);
        }
        const ReaderState end{fast.Position(), PendingSpace};
        if (!counted) {
            if (end.position != start.position || end.pendingSpace != start.pendingSpace ||
                fastLength != 0)
                return describe("a refused run moved the reader");
            continue;
        }

        // The same tokens one by one.
        FileBuffer slow = FileBufferFromBytes(bytes);
        SeekBuffer(slow, start.position, SeekOrigin::kBegin);
        PendingSpace = start.pendingSpace;
        TokenReader reader(slow);
        Token token;
        std::int64_t length = 0;
        for (std::size_t tokens = 0;; ++tokens) {
            if (run == 2) {
                reader.Sync();
                if (slow.Position() == end.position && !PendingSpace && length == fastLength) {
                    if (fastLength > room) return describe("a text run went past its room");
                    break;
                }
                if (slow.Position() > end.position || length > fastLength)
                    return describe("a text run ended between tokens");
            }
            if (tokens > 2 * bytes.size() + 4) return describe("no end found");
            reader.Next(token);
            length += static_cast<std::int64_t>(token.Text.size());
            if (run == 2) {
                // Only tokens that the rating passes over may be counted.
                const bool inert = token.Kind == tkWord || token.Kind == tkNumber ||
                                   token.Kind == tkSpace || token.Kind == tkSymbol ||
                                   token.Kind == tkTagClose || token.Kind == tkEmptyTagClose ||
                                   token.Kind == tkCommentClose;
                if (!inert) return describe("a text run passed over a tag");
                continue;
            }
            const bool stop = token.Kind == tkTagClose || token.Kind == tkEnd ||
                              (run == 0 && token.Kind == tkEmptyTagClose);
            if (!stop) continue;
            reader.Sync();
            if (token.Kind != fastToken.Kind || token.Text != fastToken.Text)
                return describe("a tag run ended at another token");
            if (length != fastLength) return describe("a tag run counted another length");
            if (slow.Position() != end.position || PendingSpace != end.pendingSpace)
                return describe("a tag run ended elsewhere");
            break;
        }
    }
    return {};
}

// CheckRunsFrom at the token boundaries of `bytes` (every `step`th), with
// rooms that vary. The modes are the caller's.
inline std::string CheckRuns(std::string_view bytes, std::size_t step = 1) {
    FileBuffer buffer = FileBufferFromBytes(bytes);
    PendingSpace = false;
    Token token;
    for (std::size_t boundary = 0;; ++boundary) {
        const ReaderState state{buffer.Position(), PendingSpace};
        if (boundary % step == 0) {
            const std::int64_t room =
                boundary % 3 == 0 ? INT64_MAX / 2 : static_cast<std::int64_t>(boundary % 97);
            std::string problem = CheckRunsFrom(bytes, state, room);
            if (!problem.empty()) return problem;
        }
        PendingSpace = state.pendingSpace;
        SeekBuffer(buffer, state.position, SeekOrigin::kBegin);
        NextToken(buffer, token);
        if (token.Kind == tkEnd || boundary > 2 * bytes.size() + 4) return {};
    }
}

}  // namespace qmp::test
