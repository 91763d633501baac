#pragma once
// The new-engine dialog: the website's root folder, the database file's name
// and a template, with a live preview of the template's search page.

#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWebEngineView;

namespace qmp::ui {

class MainFormOps;

class TNewForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNewForm)

public:
    // Lists the templates of `templatesDir` (a folder ending with "/").
    TNewForm(QWidget* parent, std::string templatesDir);

    QLineEdit* PathEdit() const { return pathEdit_; }
    QPushButton* SelBtn() const { return selBtn_; }
    QLineEdit* DBNameEdit() const { return dbNameEdit_; }
    QComboBox* TemplateComboBox() const { return templateComboBox_; }
    // The preview; nullptr when the web engine cannot run here (the dialog
    // then works without a preview).
    QWebEngineView* WebBrowser() const { return webBrowser_; }
    QStatusBar* StatusBar() const { return statusBar_; }
    QPushButton* OkButton() const { return okButton_; }

    // The selected template's name (system ANSI text); empty when there is none.
    std::string SelectedTemplate() const;
    // The root folder typed, ending with "/" (one is added when it lacks it).
    std::string RootFolder() const;
    // The database file's name as typed.
    std::string DatabaseName() const;
    const std::string& TemplatesDir() const { return templatesDir_; }

private:
    void ChooseRootFolder();
    void PreviewSelected();
    void PageLoaded();

    std::string templatesDir_;
    QLineEdit* pathEdit_;
    QPushButton* selBtn_;
    QLineEdit* dbNameEdit_;
    QComboBox* templateComboBox_;
    QWebEngineView* webBrowser_ = nullptr;
    QStatusBar* statusBar_;
    QPushButton* okButton_;
};

// "New...": asks for the new engine; on OK creates the project from the
// template in the root folder and opens its database (DatabasePath becomes
// the root folder followed by the database's name). True on OK; Cancel
// creates nothing. The window then shows the new database.
bool RunNewEngine(MainFormOps& window);

}  // namespace qmp::ui
