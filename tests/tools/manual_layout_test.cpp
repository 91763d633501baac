#include "tools/manual_pdf/manual_layout.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

namespace qmp::manual {
namespace {

struct Placed {
    QTextImageFormat format;
    Qt::Alignment alignment;
};

std::vector<Placed> PicturesOf(const QTextDocument& document) {
    std::vector<Placed> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                found.push_back({format.toImageFormat(), block.blockFormat().alignment()});
            }
        }
    }
    return found;
}

qsizetype PageCount(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page[^s])"));
    return QString::fromLatin1(pdf).count(page);
}

}  // namespace

class ManualLayoutTest final : public QObject {
    Q_OBJECT

    QTemporaryDir pictures_;

    void Draw(const QString& name, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(QDir(pictures_.path()).mkpath(QFileInfo(name).path()));
        QVERIFY(image.save(QDir(pictures_.path()).filePath(name)));
    }

private slots:
    void initTestCase() {
        QVERIFY(pictures_.isValid());
        Draw(QStringLiteral("images/wide.png"), QSize(1200, 300));
        Draw(QStringLiteral("small.png"), QSize(100, 50));
    }

    void missingPicturesAreLeftOut_data() {
        QTest::addColumn<QString>("markdown");
        QTest::addColumn<QString>("kept");
        QTest::newRow("there") << "A ![x](small.png) b"
                               << "A ![x](small.png) b";
        QTest::newRow("in a folder") << "![wide](images/wide.png)\n"
                                     << "![wide](images/wide.png)\n";
        QTest::newRow("missing") << "A ![x](gone.png) b"
                                 << "A  b";
        QTest::newRow("one of two") << "![a](gone.png)![b](small.png)"
                                    << "![b](small.png)";
        QTest::newRow("a folder is no picture") << "![a](images)"
                                                << "";
        QTest::newRow("plain link stays") << "[a](gone.png)"
                                          << "[a](gone.png)";
    }
    void missingPicturesAreLeftOut() {
        QFETCH(QString, markdown);
        QFETCH(QString, kept);
        QCOMPARE(WithoutMissingPictures(markdown, QDir(pictures_.path())), kept);
    }

    // A picture wider than the text shrinks to it, keeping its proportions, and
    // stands centred in a paragraph of its own; a small one in a sentence keeps
    // its size and its place.
    void picturesFitTheText() {
        const auto document = LayOutManual(
            QStringLiteral("# Title\n\n![wide](images/wide.png)\n\nText ![small](small.png) and "
                           "![gone](gone.png) more.\n"),
            QDir(pictures_.path()));
        const auto pictures = PicturesOf(*document);
        QCOMPARE(pictures.size(), std::size_t{2});

        const Placed& wide = pictures[0];
        QCOMPARE(wide.format.width(), kTextWidth);
        QCOMPARE(wide.format.height(), kTextWidth * 300 / 1200);
        QVERIFY(wide.alignment & Qt::AlignHCenter);
        const Placed& small = pictures[1];
        QCOMPARE(small.format.width(), 100.0);
        QCOMPARE(small.format.height(), 50.0);
        QVERIFY(!(small.alignment & Qt::AlignHCenter));

        for (const Placed& picture : pictures) {
            const QUrl name(picture.format.name());
            QVERIFY(name.isLocalFile() && QFileInfo(name.toLocalFile()).isAbsolute());
            QVERIFY(
                !document->resource(QTextDocument::ImageResource, name).value<QImage>().isNull());
        }
    }

    // The table fills the text's width, and a column of long texts gets more
    // of it than a column of short ones.
    void tableColumnsFollowTheirTexts() {
        const auto document = LayOutManual(
            QStringLiteral("| Keys | Command |\n|---|---|\n| F1 | opens this manual in the "
                           "desktop's document viewer |\n"),
            QDir(pictures_.path()));
        const QList<QTextFrame*> frames = document->rootFrame()->childFrames();
        QCOMPARE(frames.size(), 1);
        const auto* table = qobject_cast<QTextTable*>(frames.front());
        QVERIFY(table);
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QVERIFY(widths[1].rawValue() > widths[0].rawValue());
        QVERIFY(qFuzzyCompare(widths[0].rawValue() + widths[1].rawValue(), 100.0));
    }

    void printsPagesOfPdf() {
        QString longer = QStringLiteral("# Manual\n\n");
        for (int i = 0; i < 400; ++i)
            longer += QStringLiteral("A line of the manual.\n\n");
        QByteArray shortPdf;
        QByteArray longPdf;
        for (auto [markdown, pdf] : {std::pair{QStringLiteral("# Manual\n\nOne line."), &shortPdf},
                                     std::pair{longer, &longPdf}}) {
            QBuffer out(pdf);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QVERIFY(PrintManual(*LayOutManual(markdown, QDir(pictures_.path())),
                                QStringLiteral("Manual"), out));
        }
        QVERIFY(shortPdf.startsWith("%PDF-"));
        QCOMPARE(PageCount(shortPdf), 1);
        QVERIFY(PageCount(longPdf) > 1);
    }
};

}  // namespace qmp::manual

QTEST_MAIN(qmp::manual::ManualLayoutTest)
#include "manual_layout_test.moc"
