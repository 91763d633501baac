#pragma once
// Pictures of the windows, made offscreen: the dark colours they are also
// looked at in, a picture taken once a window has stopped changing (a web
// page's scripts fill it in after it has loaded), and a check that a part of
// it is drawn at all.

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>

namespace qmp::test {

inline QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(55, 55, 58));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 40));
    dark.setColor(QPalette::ToolTipText, QColor(240, 240, 220));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    return dark;
}

// How many colours a grid of points inside `area` (in the window's
// coordinates) has: several where something is drawn.
inline int ColoursIn(const QImage& picture, const QRect& area) {
    std::set<QRgb> colours;
    const qreal ratio = picture.devicePixelRatio();
    for (int y = area.top(); y < area.bottom(); y += 4)
        for (int x = area.left(); x < area.right(); x += 4)
            colours.insert(picture.pixel(qRound(x * ratio), qRound(y * ratio)));
    return static_cast<int>(colours.size());
}

// The area of `content` inside its window.
inline QRect AreaIn(const QWidget& content) {
    return {content.mapTo(content.window(), QPoint()), content.size()};
}

// `window` as it shows once three looks in a row agree and `content` is
// drawn; the last look when that does not happen within some seconds.
inline QImage SteadyPicture(QWidget& window, const QWidget& content) {
    // A steady text cursor, so that two looks at a finished window agree.
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);
    const QRect area = AreaIn(content);
    QImage picture = window.grab().toImage();
    for (int look = 0, steady = 0; look < 40 && steady < 3; ++look) {
        QTest::qWait(300);
        QImage next = window.grab().toImage();
        steady = next == picture && ColoursIn(next, area) >= 3 ? steady + 1 : 0;
        picture = std::move(next);
    }
    QApplication::setCursorFlashTime(flashTime);
    return picture;
}

// A dialog to picture, and the part of it that must be drawn.
struct PictureSubject {
    std::unique_ptr<QWidget> window;
    QWidget* content = nullptr;
};

// Checks that the dialog `make(smallest)` shows is drawn in the usual
// colours, in dark colours and at its smallest size.
inline void CheckDrawnInEveryScheme(const std::function<PictureSubject(bool smallest)>& make) {
    const QPalette usual = QApplication::palette();
    for (const bool dark : {false, true}) {
        for (const bool smallest : {false, true}) {
            if (dark && smallest) continue;
            QApplication::setPalette(dark ? DarkPalette() : usual);
            const PictureSubject subject = make(smallest);
            QVERIFY(subject.window != nullptr && subject.content != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(subject.window.get()));
            const QImage picture = SteadyPicture(*subject.window, *subject.content);
            QApplication::setPalette(usual);
            QVERIFY(ColoursIn(picture, AreaIn(*subject.content)) >= 3);
            QCOMPARE(picture.size(), subject.window->size() * picture.devicePixelRatio());
        }
    }
}

}  // namespace qmp::test
