#pragma once
// Images of the actions, the About box and the program.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace qmp::ui {

// The image of the action named `actionName` ("FileNew", "EditAdd", ...): the
// desktop theme's icon where it has one, else the program's own drawing; an
// empty icon for an action without an image.
QIcon ActionIcon(const QString& actionName);

// The program's own icon ("qmplit" of the desktop theme once installed).
QIcon ApplicationIcon();

// The picture at the top of the About box, drawn for `devicePixelRatio`.
QPixmap AboutBanner(qreal devicePixelRatio = 1.0);

}  // namespace qmp::ui
