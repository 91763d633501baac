#pragma once
// The user's manual, kept as Markdown, laid out for paper: pictures that are
// missing are left out, the others scaled down to the width of the text.

#include <QString>
#include <memory>

class QDir;
class QIODevice;
class QTextDocument;

namespace qmp::manual {

// Width of the text on an A4 page with the printed margins, in the pixels
// (1/96 inch) that a document's pictures are measured in.
inline constexpr double kTextWidth = 600.0;

// `markdown` without the pictures (![caption](path)) whose files do not exist;
// paths are relative to `base`.
QString WithoutMissingPictures(const QString& markdown, const QDir& base);

// The document of `markdown`: its pictures read from below `base`, each at
// most kTextWidth wide with its proportions kept, and centred when it stands
// alone in its paragraph; table columns as wide as their texts need.
std::unique_ptr<QTextDocument> LayOutManual(const QString& markdown, const QDir& base);

// Prints `document` on A4 pages, numbered at the foot, as PDF into `out`,
// with `title` as the PDF's title. False when nothing could be printed.
bool PrintManual(const QTextDocument& document, const QString& title, QIODevice& out);

}  // namespace qmp::manual
