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

    auto* banner = MakeChild<QLabel>(this);
    banner->setObjectName(QStringLiteral("Banner"));
    banner->setPixmap(ApplicationIcon().pixmap(64, 64));
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
    text->addWidget(product);
    text->addWidget(version);
    text->addStretch();
    auto* row = MakeChild<QHBoxLayout>();
    row->addWidget(banner);
    row->addSpacing(12);
    row->addLayout(text);
    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace qmp::ui
