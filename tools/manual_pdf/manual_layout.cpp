#include "tools/manual_pdf/manual_layout.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace qmp::manual {
namespace {

const QRegularExpression& PictureReference() {
    static const QRegularExpression picture(QStringLiteral(R"(!\[([^\]]*)\]\(([^)\s]+)\))"));
    return picture;
}

struct Picture {
    int position;
    QTextImageFormat format;
};

// The object replacement character that stands for a picture in the text.
constexpr QChar kPictureChar(0xFFFC);

// Columns share the table's width in proportion to their longest cell, within
// bounds: a column of short cells stays readable, a long one cannot squeeze
// the others out.
void FitColumns(QTextTable& table) {
    QList<double> weights(table.columns(), 0.0);
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            const int length =
                cell.lastCursorPosition().position() - cell.firstCursorPosition().position();
            weights[column] = std::max(weights[column], std::clamp(length, 6, 60) * 1.0);
        }
    }
    double total = 0.0;
    for (double weight : weights)
        total += weight;
    QList<QTextLength> widths;
    for (double weight : weights) {
        widths.append(QTextLength(QTextLength::PercentageLength, 100.0 * weight / total));
    }
    QTextTableFormat format = table.format();
    format.setColumnWidthConstraints(widths);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100.0));
    format.setBorder(0.5);
    format.setBorderBrush(QColor(0xb0, 0xb8, 0xc2));
    format.setCellPadding(4.0);
    format.setCellSpacing(0.0);
    table.setFormat(format);
}

void FitTables(QTextFrame& frame) {
    for (QTextFrame* child : frame.childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) FitColumns(*table);
        FitTables(*child);
    }
}

// Room above headings, and a tint behind examples of code, as a printed
// page needs them more than a screen.
void SpaceBlocks(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format;
        const int level = block.blockFormat().headingLevel();
        if (level > 1) {
            format.setTopMargin(level == 2 ? 18.0 : 12.0);
            format.setBottomMargin(6.0);
        } else if (block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage)) {
            format.setBackground(QColor(0xf0, 0xf2, 0xf5));
        } else {
            continue;
        }
        QTextCursor(block).mergeBlockFormat(format);
    }
}

}  // namespace

QString WithoutMissingPictures(const QString& markdown, const QDir& base) {
    QString kept;
    qsizetype copied = 0;
    for (auto it = PictureReference().globalMatch(markdown); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        kept += QStringView(markdown).mid(copied, match.capturedStart() - copied);
        if (QFileInfo(base.filePath(match.captured(2))).isFile()) kept += match.captured(0);
        copied = match.capturedEnd();
    }
    kept += QStringView(markdown).mid(copied);
    return kept;
}

std::unique_ptr<QTextDocument> LayOutManual(const QString& markdown, const QDir& base) {
    auto document = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10.0);
    document->setDefaultFont(font);
    document->setMarkdown(WithoutMissingPictures(markdown, base),
                          QTextDocument::MarkdownDialectGitHub);

    FitTables(*document->rootFrame());
    SpaceBlocks(*document);

    // Collected first: changing a format while walking the fragments would
    // invalidate the walk.
    std::vector<Picture> pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                pictures.push_back({fragment.position(), fragment.charFormat().toImageFormat()});
            }
        }
    }
    for (Picture& picture : pictures) {
        const QString path = QFileInfo(base.filePath(picture.format.name())).absoluteFilePath();
        const QImage image(path);
        if (image.isNull()) continue;
        // Named by its full path, so that the printed copy of the document
        // finds it too.
        const QUrl name = QUrl::fromLocalFile(path);
        document->addResource(QTextDocument::ImageResource, name, image);
        const double width = std::min<double>(image.width(), kTextWidth);
        picture.format.setName(name.toString());
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());

        QTextCursor cursor(document.get());
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
        if (cursor.block().text().trimmed() == QString(kPictureChar)) {
            QTextBlockFormat centred;
            centred.setAlignment(Qt::AlignHCenter);
            cursor.mergeBlockFormat(centred);
        }
    }
    return document;
}

bool PrintManual(const QTextDocument& document, const QString& title, QIODevice& out) {
    QPdfWriter writer(&out);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Corvan Quarrymap Lite"));
    // A document without a page size is printed with margins of two
    // centimetres and the page number at the foot of each page.
    document.print(&writer);
    return out.size() > 0;
}

}  // namespace qmp::manual
