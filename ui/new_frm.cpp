#include "ui/new_frm.h"

#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include "core/database.h"
#include "core/program_values.h"
#include "core/project_folder.h"
#include "decoding/display_text.h"
#include "system/folders.h"
#include "system/os_path.h"
#include "system/paths.h"
#include "ui/dialog_buttons.h"
#include "ui/main_form_ops.h"
#include "ui/make_child.h"
#include "ui/prompts.h"
#include "ui/window_place.h"

namespace qmp::ui {
namespace {

// The preview shows the template's own files and nothing else: a page that
// names something on the network does not reach out while an author looks.
class LocalOnlyRequests final : public QWebEngineUrlRequestInterceptor {
    Q_DISABLE_COPY_MOVE(LocalOnlyRequests)

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        static const QStringList kLocalSchemes = {QStringLiteral("file"), QStringLiteral("data"),
                                                  QStringLiteral("blob"), QStringLiteral("about")};
        if (!kLocalSchemes.contains(info.requestUrl().scheme())) info.block(true);
    }
};

// Whether the web engine's helper program is there, looked for where the
// engine looks: without it the engine would end the whole program as soon as
// the first page is made.
bool WebEngineCanStart() {
    const QString fromEnvironment = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    const QString name = QStringLiteral("/QtWebEngineProcess");
    const QStringList candidates =
        !fromEnvironment.isEmpty()
            ? QStringList{fromEnvironment}
            : QStringList{QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + name,
                          QCoreApplication::applicationDirPath() + name};
    for (const QString& candidate : candidates) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isExecutable()) return true;
    }
    return false;
}

// The engine's sandbox refuses to run as root and would end the program; as
// root the preview runs without it (it only ever shows local template files).
void AllowWebEngineAsRoot() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

// The questions and errors of the template copy, as message boxes.
class WindowCopyHost final : public TemplateCopyHost {
public:
    explicit WindowCopyHost(QWidget* owner) : owner_(owner) {}
    bool AskReplace(const std::string& question) override {
        return ShowMessageBox(owner_, {"Question", question, MessageIcon::kWarning,
                                       MessageButtons::kYesNo}) == MessageAnswer::kYes;
    }
    void ReportCopyError(const std::string& message) override {
        ShowMessageBox(owner_, {"Error", message, MessageIcon::kError, MessageButtons::kOk});
    }

private:
    QWidget* owner_;
};

QString ShownAnsi(const std::string& ansi) {
    return QString::fromUtf8(AnsiDisplayText(ansi));
}

}  // namespace

TNewForm::TNewForm(QWidget* parent, std::string templatesDir)
    : QDialog(parent),
      templatesDir_(std::move(templatesDir)),
      pathEdit_(MakeChild<QLineEdit>(this)),
      selBtn_(MakeChild<QPushButton>(tr("..."), this)),
      dbNameEdit_(MakeChild<QLineEdit>(this)),
      templateComboBox_(MakeChild<QComboBox>(this)),
      statusBar_(MakeChild<QStatusBar>(this)),
      okButton_(MakeChild<QPushButton>(tr("OK"), this)) {
    setObjectName(QStringLiteral("NewForm"));
    setWindowTitle(tr("New search engine"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    pathEdit_->setObjectName(QStringLiteral("PathEdit"));
    pathEdit_->setText(ShownAnsi(DocumentsDir()));
    auto* pathLabel =
        MakeChild<QLabel>(tr("Select your website/CD/DVD project root directory:"), this);
    pathLabel->setBuddy(pathEdit_);
    auto* folderPicture = MakeChild<QLabel>(this);
    const int pictureSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    folderPicture->setPixmap(
        style()->standardIcon(QStyle::SP_DirIcon).pixmap(pictureSize, pictureSize));
    selBtn_->setObjectName(QStringLiteral("SelBtn"));
    selBtn_->setToolTip(tr("Choose the root folder"));
    selBtn_->setAccessibleName(tr("Choose the root folder"));
    selBtn_->setMaximumWidth(selBtn_->fontMetrics().horizontalAdvance(selBtn_->text()) * 3 + 16);
    connect(selBtn_, &QPushButton::clicked, this, &TNewForm::ChooseRootFolder);

    dbNameEdit_->setObjectName(QStringLiteral("DBNameEdit"));
    dbNameEdit_->setText(ShownAnsi(DefaultDatabaseName));
    auto* dbNameLabel = MakeChild<QLabel>(tr("Search database file:"), this);
    dbNameLabel->setBuddy(dbNameEdit_);

    templateComboBox_->setObjectName(QStringLiteral("TemplateComboBox"));
    templateComboBox_->setEditable(false);
    for (const std::string& name : ListTemplates(templatesDir_))
        templateComboBox_->addItem(ShownAnsi(name), QByteArray::fromStdString(name));
    auto* templateLabel = MakeChild<QLabel>(tr("Search engine template:"), this);
    templateLabel->setBuddy(templateComboBox_);

    QWidget* preview = nullptr;
    if (WebEngineCanStart()) {
        AllowWebEngineAsRoot();
        webBrowser_ = MakeChild<QWebEngineView>(this);
        webBrowser_->setObjectName(QStringLiteral("WebBrowser"));
        QWebEnginePage* page = webBrowser_->page();
        // A child of the page, so it outlives every request the page makes.
        page->setUrlRequestInterceptor(MakeChild<LocalOnlyRequests>(page));
        QWebEngineSettings* settings = page->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        // Qt's browser gives no status text; the address of the link under
        // the pointer is what a browser's status bar mostly shows.
        connect(page, &QWebEnginePage::linkHovered, statusBar_,
                [this](const QString& url) { statusBar_->showMessage(url); });
        connect(page, &QWebEnginePage::renderProcessTerminated, statusBar_,
                [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                    if (status != QWebEnginePage::NormalTerminationStatus)
                        statusBar_->showMessage(
                            tr("The preview stopped: the web engine "
                               "cannot show pages here."));
                });
        connect(webBrowser_, &QWebEngineView::loadFinished, this, &TNewForm::PageLoaded);
        preview = webBrowser_;
    } else {
        auto* noPreview =
            MakeChild<QLabel>(tr("No preview: the web engine cannot run here."), this);
        noPreview->setAlignment(Qt::AlignCenter);
        preview = noPreview;
    }
    preview->setAccessibleName(tr("Preview of the template's search page"));
    preview->setMinimumHeight(0);
    statusBar_->setAccessibleName(tr("Status"));

    const OkCancelButtons buttons = MakeOkCancelButtons(*this, okButton_, Qt::Vertical);

    // The fields on the left, the buttons 8 from the right edge, the list to
    // the right edge, and the preview across the whole width down to the
    // status bar.
    auto* top = MakeChild<QWidget>(this);
    auto* grid = MakeChild<QGridLayout>(top);
    grid->setContentsMargins(8, 8, 1, 4);
    grid->addWidget(pathLabel, 0, 0);
    auto* pathRow = MakeChild<QHBoxLayout>();
    pathRow->addWidget(folderPicture);
    pathRow->addWidget(pathEdit_, 1);
    pathRow->addWidget(selBtn_);
    grid->addLayout(pathRow, 1, 0);
    grid->addWidget(dbNameLabel, 2, 0);
    grid->addWidget(dbNameEdit_, 3, 0);
    grid->addWidget(templateLabel, 4, 0);
    grid->addWidget(templateComboBox_, 5, 0, 1, 2);
    auto* buttonColumn = MakeChild<QVBoxLayout>();
    buttonColumn->setContentsMargins(8, 0, 7, 0);
    buttonColumn->addWidget(buttons.box);
    buttonColumn->addStretch();
    grid->addLayout(buttonColumn, 0, 1, 5, 1);
    grid->setColumnStretch(0, 1);

    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(preview, 1);
    layout->addSpacing(1);
    layout->addWidget(statusBar_);

    setTabOrder(pathEdit_, selBtn_);
    setTabOrder(selBtn_, dbNameEdit_);
    setTabOrder(dbNameEdit_, templateComboBox_);
    setTabOrder(templateComboBox_, okButton_);
    setTabOrder(okButton_, buttons.cancel);
    if (webBrowser_ != nullptr) setTabOrder(buttons.cancel, webBrowser_);

    connect(templateComboBox_, &QComboBox::currentIndexChanged, this, &TNewForm::PreviewSelected);
    templateComboBox_->setCurrentIndex(templateComboBox_->count() > 0 ? 0 : -1);
    PreviewSelected();

    pathEdit_->setFocus();
    setMinimumSize(560, 240);
    resize(680, 560);
}

std::string TNewForm::SelectedTemplate() const {
    return templateComboBox_->currentData().toByteArray().toStdString();
}

std::string TNewForm::RootFolder() const {
    // A folder typed without its final "/" still means that folder, not its
    // parent. An empty text stays empty: never the file system's root.
    std::string root = TypedAnsiText(pathEdit_->text().toStdString());
    if (!root.empty() && root.back() != '/') root += '/';
    return root;
}

std::string TNewForm::DatabaseName() const {
    return TypedAnsiText(dbNameEdit_->text().toStdString());
}

void TNewForm::ChooseRootFolder() {
    if (const auto folder = ChooseFolder(this, tr("Root directory"), pathEdit_->text()))
        pathEdit_->setText(*folder);
}

void TNewForm::PreviewSelected() {
    const std::string name = SelectedTemplate();
    if (webBrowser_ == nullptr || name.empty()) return;
    // The template's own search page, found as a finished engine's is.
    const std::string page =
        StartPage(IncludeTrailingSeparator(templatesDir_) + name + "/" + DefaultDatabaseName);
    webBrowser_->load(QUrl::fromLocalFile(QString::fromUtf8(ToOsPath(page))));
}

void TNewForm::PageLoaded() {
    // The list gets the focus back, so that the arrow keys keep stepping
    // through the templates; a field the author has gone to keeps it.
    QWidget* focus = focusWidget();
    if (focus == nullptr || focus == webBrowser_ || webBrowser_->isAncestorOf(focus))
        templateComboBox_->setFocus();
}

bool RunNewEngine(MainFormOps& window) {
    TNewForm form(window.Window(), DefaultTemplatesDir());
    CenterOnScreen(form);
    if (form.exec() != QDialog::Accepted) return false;
    // The dialog is hidden now; the copy's questions stand on their own.
    const std::string root = form.RootFolder();
    const std::string templateName = form.SelectedTemplate();
    if (!root.empty() && !templateName.empty()) {
        // A root folder typed by hand may not exist yet.
        ForceFolders(root);
        WindowCopyHost host(window.Window());
        CreateProject(form.TemplatesDir(), templateName, root, host);
    }
    OpenDatabase(window.WindowHost(), root + form.DatabaseName());
    return true;
}

}  // namespace qmp::ui
