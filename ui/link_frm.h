#pragma once
// The link dialog: one link of the link table, by hand or filled from a
// document chosen on disk.

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "core/category_table.h"
#include "core/host.h"
#include "core/link_table.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qmp::ui {

// The keywords as the dialog shows them (display form): the stored ones in
// order without "~" and "dont_update", each followed by ", " unless it is the
// last stored keyword. `locked` tells whether one of the two marks was there.
std::string ShownKeywordsText(const TBaseRecord& record, bool& locked);

// The keywords to store for the typed text `storedText` (in the database's
// encoding): "~" first when `dontUpdate`, then, unless the text is empty,
// every piece before a "," of the text with one "," appended, blanks and
// control characters trimmed from both ends, empty pieces included.
std::vector<std::string> TypedKeywords(std::string_view storedText, bool dontUpdate);

class TLinkForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TLinkForm)

public:
    // `categories`: the table the category list shows and "New..." adds to;
    // `caption`: "Add new link" or "Edit link". `host` shows the wait cursor
    // while a chosen document is read.
    TLinkForm(QWidget* parent, Host& host, TCat& categories, const QString& caption);

    // Shows `record` (in the database's encoding) in the fields.
    void FillFrom(const TBaseRecord& record);
    // The link the fields describe, in the database's encoding.
    TBaseRecord Record() const;

    QLineEdit* URLEdit() const { return urlEdit_; }
    QPushButton* SelUBtn() const { return selUBtn_; }
    QCheckBox* FromCheck() const { return fromCheck_; }
    QComboBox* CatComboBox() const { return catComboBox_; }
    QPushButton* NewCatBtn() const { return newCatBtn_; }
    QLineEdit* CaptionEdit() const { return captionEdit_; }
    QLineEdit* DescEdit() const { return descEdit_; }
    QPlainTextEdit* KeysMemo() const { return keysMemo_; }
    QCheckBox* DontUpdateCheckBox() const { return dontUpdateCheckBox_; }
    QPushButton* OkButton() const { return okButton_; }

    // OK: refused with a message while the URL or the category is missing.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillCategories();
    void NewCatBtnClick();
    void SelUBtnClick();

    Host& host_;
    TCat& categories_;
    QLineEdit* urlEdit_;
    QPushButton* selUBtn_;
    QCheckBox* fromCheck_;
    QComboBox* catComboBox_;
    QPushButton* newCatBtn_;
    QLineEdit* captionEdit_;
    QLineEdit* descEdit_;
    QPlainTextEdit* keysMemo_;
    QCheckBox* dontUpdateCheckBox_;
    QPushButton* okButton_;
};

}  // namespace qmp::ui
