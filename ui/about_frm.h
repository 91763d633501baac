#pragma once
// The About box: the program's picture, name and version.

#include <QDialog>

namespace qmp::ui {

// The version the About box shows.
inline constexpr const char* kProductVersion = "9.3.2";

class TAboutForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutForm)

public:
    explicit TAboutForm(QWidget* parent);
};

}  // namespace qmp::ui
