#include "ui/icons.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace qmp::ui {
namespace {

// The actions that show an image: the toolbar, the list's context menu, and
// the menu entries beside them.
const QStringList& ImageActions() {
    static const QStringList names = {
        QStringLiteral("FileNew"),     QStringLiteral("FileOpen"),     QStringLiteral("FileSave"),
        QStringLiteral("FilePreview"), QStringLiteral("EditAdd"),      QStringLiteral("AddSite"),
        QStringLiteral("EditModify"),  QStringLiteral("UpdateBase"),   QStringLiteral("EditDelete"),
        QStringLiteral("EditClear"),   QStringLiteral("MoveToBegin"),  QStringLiteral("MoveToEnd"),
        QStringLiteral("MoveUp"),      QStringLiteral("MoveDown"),     QStringLiteral("ViewCat"),
        QStringLiteral("ViewLinks"),   QStringLiteral("PrjSetAction"), QStringLiteral("HelpIndex"),
        QStringLiteral("FileSaveAs"),  QStringLiteral("FileExit"),     QStringLiteral("HelpAbout"),
    };
    return names;
}

bool HasPaint(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) return true;
        }
    }
    return false;
}

void UseNoDesktopTheme() {
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QString());
}

}  // namespace

class IconsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { UseNoDesktopTheme(); }

    // Without any desktop theme every action still gets a picture of its own
    // that Qt can draw (the SVG plugins are there, the drawings parse).
    void everyActionHasItsOwnDrawing() {
        QList<QImage> drawn;
        for (const QString& name : ImageActions()) {
            const QIcon icon = ActionIcon(name);
            QVERIFY2(!icon.isNull(), qPrintable(name));
            const QImage image = icon.pixmap(QSize(24, 24)).toImage();
            QVERIFY2(!image.isNull() && HasPaint(image), qPrintable(name));
            for (const QImage& other : drawn)
                QVERIFY2(image != other, qPrintable(name));
            drawn.append(image);
        }
        QVERIFY(ActionIcon(QStringLiteral("SortByCat")).isNull());
        QVERIFY(ActionIcon(QString()).isNull());
    }

    // Where the desktop theme has an icon, it is the one shown; where it has
    // none, the program's drawing stands in.
    void theDesktopThemeComesFirst() {
        QTemporaryDir themes;
        QVERIFY(themes.isValid());
        QDir root(themes.path());
        QVERIFY(root.mkpath(QStringLiteral("plain/24x24/actions")));
        QFile index(root.filePath(QStringLiteral("plain/index.theme")));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write(
            "[Icon Theme]\nName=plain\nDirectories=24x24/actions\n\n"
            "[24x24/actions]\nSize=24\nType=Fixed\n");
        index.close();
        QImage square(24, 24, QImage::Format_ARGB32);
        square.fill(Qt::magenta);
        QVERIFY(square.save(root.filePath(QStringLiteral("plain/24x24/actions/document-new.png"))));

        QIcon::setThemeSearchPaths({themes.path()});
        QIcon::setThemeName(QStringLiteral("plain"));
        const QImage themed = ActionIcon(QStringLiteral("FileNew")).pixmap(QSize(24, 24)).toImage();
        QCOMPARE(themed.pixelColor(12, 12), QColor(Qt::magenta));
        const QIcon drawn = ActionIcon(QStringLiteral("FileOpen"));
        QVERIFY(HasPaint(drawn.pixmap(QSize(24, 24)).toImage()));
    }

    void programIconAndAboutBanner() {
        QVERIFY(HasPaint(ApplicationIcon().pixmap(QSize(64, 64)).toImage()));

        const QPixmap banner = AboutBanner();
        QCOMPARE(banner.size(), QSize(400, 90));
        const QImage image = banner.toImage();
        QVERIFY(image.pixelColor(2, 45) != image.pixelColor(397, 45));  // not one flat colour
        const QPixmap sharp = AboutBanner(2.0);
        QCOMPARE(sharp.size(), QSize(800, 180));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::IconsTest)
#include "icons_test.moc"
