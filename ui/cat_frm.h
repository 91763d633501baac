#pragma once
// The category dialog: one name, for a new category or a renamed one.

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace qmp::ui {

class TCatForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TCatForm)

public:
    // `caption`: "Add new category" or "Edit category"; `name`: the old name
    // as shown, for a rename.
    TCatForm(QWidget* parent, const QString& caption, const QString& name = {});

    QLineEdit* NameEdit() const { return nameEdit_; }
    QPushButton* OkButton() const { return okButton_; }

private:
    QLineEdit* nameEdit_;
    QPushButton* okButton_;
};

// Asks for a category name with the dialog; gives it in the database's
// encoding, or nothing when cancelled.
std::optional<std::string> AskCategoryName(QWidget* parent, const QString& caption,
                                           const QString& shownName = {});

}  // namespace qmp::ui
