#pragma once
// Images of the actions, the About box and the program.

#include <QIcon>
#include <QString>

namespace qmp::ui {

// The image of the action named `actionName` ("FileNew", "EditAdd", ...): the
// desktop theme's icon where it has one, else the program's own drawing; an
// empty icon for an action without an image.
QIcon ActionIcon(const QString& actionName);

// The program's own icon.
QIcon ApplicationIcon();

}  // namespace qmp::ui
