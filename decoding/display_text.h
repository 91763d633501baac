#pragma once
// Text as a person sees it: a window or a terminal shows UTF-8, whatever the
// encoding the text is held in.

#include <string>
#include <string_view>

namespace qmp {

// Database text for display, as UTF-8: in UTF-8 mode the stored bytes as they
// are (a surrogate pair stored as two three-byte forms shows as its one
// character; every byte sequence that is not valid UTF-8 shows as U+FFFD); in
// ANSI mode the bytes read through the system code page.
std::string DisplayText(std::string_view databaseText);

// System ANSI text (a path, a message) for display, as UTF-8.
std::string AnsiDisplayText(std::string_view ansiText);

// Text a person typed (UTF-8) in the database's encoding: as it is in UTF-8
// mode, through the system code page otherwise ("?" for what it lacks).
std::string TypedDatabaseText(std::string_view typedUtf8);

// Text a person typed (UTF-8), a path or a name, as system ANSI text.
std::string TypedAnsiText(std::string_view typedUtf8);

// `text` with every byte sequence that is not valid UTF-8 replaced by U+FFFD;
// a surrogate pair written as two three-byte forms becomes the character it
// stands for.
std::string ValidUtf8(std::string_view text);

}  // namespace qmp
