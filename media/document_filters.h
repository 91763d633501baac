#pragma once
// Text of a document taken through the document filter registered for its
// extension: the indexer's last attempt at an audio file that gave no words.

#include <string>
#include <string_view>

namespace qmp {

// The text of the document at the system ANSI path `path`, in the system code
// page, from the filter registered for its extension; empty when no filter
// serves (no registry, no line for the extension, a filter that cannot start
// or fails).
std::string FilterText(std::string_view path);

// Writes the filter's text of `documentPath` into a new file at `outputPath`
// (replacing any file there), with runs of spaces shortened and, when
// `addTitle` is set, a title element before it. False, and nothing written,
// when the filter gives no text or the file cannot be written.
bool FilterToTextFile(std::string_view documentPath, std::string_view outputPath, bool addTitle);

// A filter's standard output (UTF-8) as the text of one chunk in the system
// code page, followed by the spaces that the chunk and the two end-of-chunks
// reports each add.
std::string FilterOutputToText(std::string_view utf8Output);

// Replaces every run of 10 spaces by one, then of 8, 4 and 2, each pass over
// the whole text once, in that order.
std::string ShortenSpaceRuns(std::string_view text);

// The title for a filtered text: its first line with the line end when that
// ends within the first 128 bytes, otherwise the first 128 bytes and "...";
// empty for a text of one line.
std::string FilteredTextTitle(std::string_view text);

}  // namespace qmp
