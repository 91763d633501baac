#pragma once
// Where a dialog opens.

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qmp::ui {

// Puts `window` in the middle of the screen that its owner (or the pointer)
// is on.
inline void CenterOnScreen(QWidget& window) {
    const QWidget* owner = window.parentWidget();
    QScreen* screen =
        owner != nullptr ? owner->screen() : QGuiApplication::screenAt(QCursor::pos());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace qmp::ui
