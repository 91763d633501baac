#include "ui/about_frm.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/program_values.h"
#include "ui/icons.h"
#include "ui/make_child.h"

namespace qmp::ui {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(tr("About the program"));

    // The banner across the top, drawn sharp for the screen the box is on.
    auto* banner = MakeChild<QLabel>(this);
    banner->setObjectName(QStringLiteral("Banner"));
    banner->setPixmap(AboutBanner(devicePixelRatioF()));
    banner->setAccessibleName(tr("Program picture"));

    auto* product = MakeChild<QLabel>(QString::fromStdString(AppTitle), this);
    product->setObjectName(QStringLiteral("ProductLine"));
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    auto* version = MakeChild<QLabel>(QString::fromLatin1(kProductVersion), this);
    version->setObjectName(QStringLiteral("VersionLine"));

    auto* buttons = MakeChild<QDialogButtonBox>(QDialogButtonBox::Ok, this);
    // OK and Esc both close the box.
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = MakeChild<QVBoxLayout>();
    text->setContentsMargins(12, 8, 12, 0);
    text->addWidget(product);
    text->addWidget(version);
    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->addWidget(banner);
    layout->addLayout(text);
    layout->addSpacing(8);
    auto* buttonRow = MakeChild<QHBoxLayout>();
    buttonRow->setContentsMargins(12, 0, 12, 0);
    buttonRow->addWidget(buttons);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace qmp::ui
