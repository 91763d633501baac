#include "ui/cat_frm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "decoding/display_text.h"
#include "ui/dialog_buttons.h"
#include "ui/make_child.h"

namespace qmp::ui {

TCatForm::TCatForm(QWidget* parent, const QString& caption, const QString& name)
    : QDialog(parent),
      nameEdit_(MakeChild<QLineEdit>(this)),
      okButton_(MakeChild<QPushButton>(tr("OK"), this)) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("CatForm"));
    nameEdit_->setObjectName(QStringLiteral("NameEdit"));
    auto* label = MakeChild<QLabel>(tr("Category name:"), this);
    label->setBuddy(nameEdit_);

    const OkCancelButtons buttons = MakeOkCancelButtons(*this, okButton_);

    // Any name will do, a single blank included; only an empty one cannot.
    okButton_->setEnabled(false);
    connect(nameEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { okButton_->setEnabled(!text.isEmpty()); });
    nameEdit_->setText(name);

    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->addWidget(label);
    layout->addWidget(nameEdit_);
    layout->addWidget(buttons.box);
    setMinimumWidth(320);
}

std::optional<std::string> AskCategoryName(QWidget* parent, const QString& caption,
                                           const QString& shownName) {
    TCatForm form(parent, caption, shownName);
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return TypedDatabaseText(form.NameEdit()->text().toStdString());
}

}  // namespace qmp::ui
