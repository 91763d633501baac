#pragma once
// Pictures of the dialogs for the user's manual, made offscreen by the window
// tests in the usual colours, in dark colours and at the smallest size; saved
// into the folder QMP_PICTURES_DIR names, when it is set.

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>

namespace qmp::ui::test {

// A dialog to picture, and the part of it that must be drawn.
struct PictureSubject {
    std::unique_ptr<QWidget> window;
    QWidget* content = nullptr;
};

inline QPalette DarkPalette() {
    QPalette dark(QColor(60, 60, 64), QColor(45, 45, 48));
    const QColor text(230, 230, 230);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, text);
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return dark;
}

// How many colours a grid of points inside `area` has: several when drawn.
inline int ColoursIn(const QImage& picture, const QRect& area) {
    std::set<QRgb> colours;
    const qreal ratio = picture.devicePixelRatio();
    for (int y = area.top(); y < area.bottom(); y += 4)
        for (int x = area.left(); x < area.right(); x += 4)
            colours.insert(picture.pixel(qRound(x * ratio), qRound(y * ratio)));
    return static_cast<int>(colours.size());
}

// Pictures the dialog that `make(smallest)` shows, once it has stopped
// changing (a page's scripts fill it in after it has loaded), as `name`,
// `name`-dark and `name`-smallest.
inline void TakePictures(const QString& name,
                         const std::function<PictureSubject(bool smallest)>& make) {
    const QString into = qEnvironmentVariable("QMP_PICTURES_DIR");
    const QPalette usual = QApplication::palette();
    // A steady text cursor, so that two looks at a finished dialog agree.
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);
    for (const QString& suffix :
         {QString(), QStringLiteral("-dark"), QStringLiteral("-smallest")}) {
        QApplication::setPalette(suffix == QStringLiteral("-dark") ? DarkPalette() : usual);
        const PictureSubject subject = make(suffix == QStringLiteral("-smallest"));
        QVERIFY(subject.window != nullptr && subject.content != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(subject.window.get()));
        const QRect area(subject.content->mapTo(subject.window.get(), QPoint()),
                         subject.content->size());
        QImage picture = subject.window->grab().toImage();
        for (int look = 0, steady = 0; look < 40 && steady < 3; ++look) {
            QTest::qWait(400);
            QImage next = subject.window->grab().toImage();
            steady = next == picture && ColoursIn(picture, area) >= 3 ? steady + 1 : 0;
            picture = std::move(next);
        }
        QApplication::setPalette(usual);
        QVERIFY(ColoursIn(picture, area) >= 3);
        QCOMPARE(picture.size(), subject.window->size() * picture.devicePixelRatio());
        if (!into.isEmpty())
            QVERIFY(picture.save(into + QLatin1Char('/') + name + suffix + ".png"));
    }
    QApplication::setCursorFlashTime(flashTime);
}

}  // namespace qmp::ui::test
