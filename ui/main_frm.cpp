// The main window's making: its actions, menus, toolbar, list and status
// bar, and what holds for the whole window (the saved flag, the title, the
// enabling of the commands, closing and dropped folders). The commands live
// beside it, one file per menu.

#include "ui/main_frm.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QUrl>
#include <array>
#include <initializer_list>
#include <string_view>

#include "core/program_values.h"
#include "decoding/database_text.h"
#include "system/paths.h"
#include "ui/chosen_path.h"
#include "ui/icons.h"
#include "ui/make_child.h"
#include "ui/prompts.h"

namespace qmp::ui {

struct TMainForm::ActionEntry {
    const char* name;
    const char* caption;
    const char* menuText;  // nullptr: the menu shows the caption
    const char* hint;
    QKeyCombination shortcut;
    bool enabledAtStart;
    void (TMainForm::*execute)();
};

namespace {

constexpr QKeyCombination kNoKey{Qt::Key(0)};
constexpr const char* kSeparator = "-";
constexpr const char* kInsHint = "Press \"Ins\" to add new link or category";

// The actions that open a database's commands; nothing disables them again.
constexpr std::initializer_list<const char*> kDatabaseActions = {
    "FileSave",     "FileSaveAs",  "FileBuildIn",   "FileImport",        "FilePreview",
    "EditAdd",      "EditDelete",  "EditClear",     "EditModify",        "AddSite",
    "UpdateBase",   "MoveToBegin", "MoveUp",        "MoveDown",          "MoveToEnd",
    "SortByCat",    "SortByURL",   "SortByCaption", "SortByDescription", "SortByKeys",
    "PrjSetAction", "ViewCat",     "ViewLinks"};

struct StatusPanelEntry {
    int width;
    // What the panel tells; a screen reader reads the panel's text as its
    // name, so this goes to the description.
    const char* role;
};
constexpr std::array<StatusPanelEntry, 4> kStatusPanels = {{
    {100, "View"},
    {80, "Saved state"},
    {90, "Encoding mode"},
    {50, "Help"},
}};

template <typename MenuOrBar>
void AddActions(MenuOrBar* target, const QHash<QString, QAction*>& actions,
                std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (name == std::string_view(kSeparator)) {
            target->addSeparator();
        } else {
            target->addAction(actions.value(QString::fromLatin1(name)));
        }
    }
}

}  // namespace

std::span<const TMainForm::ActionEntry> TMainForm::ActionEntries() {
    using T = TMainForm;
    static const ActionEntry kSpecs[] = {
        {"FileNew", "&New Search Engine...", nullptr, "Create a new search engine",
         Qt::CTRL | Qt::Key_N, true, &T::FileNewExecute},
        {"FileOpen", "&Open Search Database...", nullptr, "Open an existing search engine database",
         Qt::CTRL | Qt::Key_O, true, &T::FileOpenExecute},
        {"FileSave", "&Save Search Database", nullptr, "Save the search engine database",
         Qt::CTRL | Qt::Key_S, false, &T::FileSaveExecute},
        {"FileSaveAs", "Save Search Database &As...", nullptr, "Save as new search engine database",
         Qt::CTRL | Qt::SHIFT | Qt::Key_S, false, &T::FileSaveAsExecute},
        {"FileImport", "&Import Links...", "&Import Links from Another Database...",
         "Import links from another search engine", kNoKey, false, &T::FileImportExecute},
        {"FileBuildIn", "&Export Links to Another Database...", nullptr,
         "Export links to existing file", kNoKey, false, &T::FileBuildInExecute},
        {"FilePreview", "&Show The Search", "&Show Search Engine", "Show in the web browser",
         QKeyCombination(Qt::Key_F12), false, &T::FilePreviewExecute},
        {"FileExit", "E&xit", nullptr, "Exit the program", Qt::ALT | Qt::Key_X, true,
         &T::FileExitExecute},
        {"EditAdd", "&Add...", nullptr, "Add link", QKeyCombination(Qt::Key_Insert), false,
         &T::EditAddExecute},
        {"AddSite", "Add &Folder...", nullptr, "Add links from a folder", Qt::CTRL | Qt::Key_Insert,
         false, &T::AddSiteExecute},
        {"EditModify", "&Modify...", nullptr, "Modify", QKeyCombination(Qt::Key_F4), false,
         &T::EditModifyExecute},
        {"EditDelete", "De&lete", nullptr, "Delete", QKeyCombination(Qt::Key_Delete), false,
         &T::EditDeleteExecute},
        {"EditClear", "&Delete All", nullptr, "Delete all links", kNoKey, false,
         &T::EditClearExecute},
        {"UpdateBase", "&Update Search DB", "&Update Search Database", "Update search database",
         Qt::CTRL | Qt::Key_F4, false, &T::UpdateBaseExecute},
        {"MoveToBegin", "Move to &Begin", nullptr, "Move to the begin", Qt::CTRL | Qt::Key_B, false,
         &T::MoveToBeginExecute},
        {"MoveUp", "Move &Up", nullptr, "Move up", Qt::CTRL | Qt::Key_U, false, &T::MoveUpExecute},
        {"MoveDown", "Move &Down", nullptr, "Move down", Qt::CTRL | Qt::Key_D, false,
         &T::MoveDownExecute},
        {"MoveToEnd", "Move to &End", nullptr, "Move to the end", Qt::CTRL | Qt::Key_E, false,
         &T::MoveToEndExecute},
        {"SortByCat", "Sort links by Category", nullptr, "Sort links by category", kNoKey, false,
         &T::SortByCatExecute},
        {"SortByURL", "Sort links by URL", nullptr, "Sort links by URL", kNoKey, false,
         &T::SortByURLExecute},
        {"SortByCaption", "Sort links by Caption", nullptr, "Sort links by caption", kNoKey, false,
         &T::SortByCaptionExecute},
        {"SortByDescription", "Sort links by Description", nullptr, "Sort links by description",
         kNoKey, false, &T::SortByDescriptionExecute},
        {"SortByKeys", "Sort links by Keywords", nullptr, "Sort links by keywords", kNoKey, false,
         &T::SortByKeysExecute},
        {"PrjSetAction", "Project Settings...", nullptr, "Search project settings", kNoKey, false,
         &T::PrjSetActionExecute},
        {"DefSetAction", "Default Settings...", nullptr, "Default settings for all new projects",
         kNoKey, true, &T::DefSetActionExecute},
        {"ViewCat", "&Category List", nullptr, "View as a category list",
         QKeyCombination(Qt::Key_F6), false, &T::ViewCatExecute},
        {"ViewLinks", "&Links List", nullptr, "View as a links list", QKeyCombination(Qt::Key_F7),
         false, &T::ViewLinksExecute},
        {"HelpIndex", "&User's Manual", nullptr, "User's Manual", QKeyCombination(Qt::Key_F1), true,
         &T::HelpIndexExecute},
        {"HelpCheckForUpdates", "&Check for Updates", nullptr,
         "Check the program changelog page for updates", kNoKey, true,
         &T::HelpCheckForUpdatesExecute},
        {"HelpWebSite", "&Developers Web Site", nullptr, "Corvan Software homepage", kNoKey, true,
         &T::HelpWebSiteExecute},
        {"HelpAbout", "&About...", nullptr, "About the program", kNoKey, true,
         &T::HelpAboutExecute},
    };
    return kSpecs;
}

TMainForm::TMainForm(DialogCommands commands, QWidget* parent)
    : QMainWindow(parent), commands_(std::move(commands)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromStdString(AppTitle));
    setWindowIcon(ApplicationIcon());
    CreateActions();
    CreateMenus();
    CreateList();
    CreateStatusBar();
    setAcceptDrops(true);
}

TMainForm::~TMainForm() = default;

void TMainForm::CreateActions() {
    viewGroup_ = MakeChild<QActionGroup>(this);
    viewGroup_->setExclusive(true);
    for (const ActionEntry& entry : ActionEntries()) {
        const QString name = QString::fromLatin1(entry.name);
        auto* action = MakeChild<QAction>(this);
        action->setObjectName(name);
        action->setText(QString::fromUtf8(entry.menuText ? entry.menuText : entry.caption));
        action->setIconText(QString::fromUtf8(entry.caption));
        action->setToolTip(QString::fromUtf8(entry.hint));
        action->setStatusTip(QString::fromUtf8(entry.hint));
        action->setShortcut(QKeySequence(entry.shortcut));
        action->setIcon(ActionIcon(name));
        action->setEnabled(entry.enabledAtStart && HasCommand(name));
        connect(action, &QAction::triggered, this, entry.execute);
        // Shortcuts work wherever the focus is in the window.
        addAction(action);
        actions_.insert(name, action);
    }
    for (const char* name : {"ViewCat", "ViewLinks"}) {
        QAction* action = actions_.value(QString::fromLatin1(name));
        action->setCheckable(true);
        viewGroup_->addAction(action);
    }
    actions_.value(QStringLiteral("ViewLinks"))->setChecked(true);
}

void TMainForm::CreateMenus() {
    const auto menu = [this](const char* title, std::initializer_list<const char*> names) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(title));
        AddActions(m, actions_, names);
    };
    menu("&File", {"FileNew", "FileOpen", kSeparator, "FileSave", "FileSaveAs", kSeparator,
                   "FileImport", "FileBuildIn", kSeparator, "FilePreview", kSeparator, "FileExit"});
    menu("&Edit", {"EditAdd", "AddSite", kSeparator, "EditModify", kSeparator, "EditDelete",
                   "EditClear", kSeparator, "UpdateBase"});
    menu("&Sort", {"MoveToBegin", "MoveUp", "MoveDown", "MoveToEnd", kSeparator, "SortByCat",
                   "SortByURL", "SortByCaption", "SortByDescription", "SortByKeys"});
    menu("&Options", {"PrjSetAction", "DefSetAction"});
    menu("&View", {"ViewCat", "ViewLinks"});
    menu("&?", {"HelpIndex", "HelpCheckForUpdates", "HelpWebSite", kSeparator, "HelpAbout"});

    QToolBar* bar = addToolBar(tr("Toolbar"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    AddActions(bar, actions_,
               {"FileNew",   "FileOpen", "FileSave",    "FilePreview", kSeparator, "EditAdd",
                "AddSite",   kSeparator, "EditModify",  "UpdateBase",  kSeparator, "EditDelete",
                "EditClear", kSeparator, "MoveToBegin", "MoveToEnd",   kSeparator, "MoveUp",
                "MoveDown",  kSeparator, "ViewCat",     "ViewLinks",   kSeparator, "PrjSetAction",
                kSeparator,  "HelpIndex"});

    contextMenu_ = MakeChild<QMenu>(this);
    contextMenu_->setObjectName(QStringLiteral("ListMenu"));
    AddActions(contextMenu_, actions_,
               {"EditModify", "EditDelete", kSeparator, "MoveToBegin", "MoveUp", "MoveDown",
                "MoveToEnd", kSeparator, "ViewCat", "ViewLinks"});
}

void TMainForm::CreateStatusBar() {
    for (std::size_t i = 0; i < kStatusPanels.size(); ++i) {
        auto* panel = MakeChild<QLabel>(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setAccessibleDescription(QString::fromUtf8(kStatusPanels[i].role));
        // A panel grows with a longer text rather than cut it.
        panel->setMinimumWidth(kStatusPanels[i].width);
        panel->setFocusPolicy(Qt::NoFocus);
        statusBar()->addWidget(panel, i + 1 == kStatusPanels.size() ? 1 : 0);
        statusPanels_.push_back(panel);
    }
    statusPanels_[3]->setText(tr("For help press F1"));
}

bool TMainForm::HasCommand(const QString& actionName) const {
    if (actionName == QLatin1String("FileNew")) return bool(commands_.newEngine);
    if (actionName == QLatin1String("AddSite")) return bool(commands_.addSite);
    if (actionName == QLatin1String("UpdateBase")) return bool(commands_.updateBase);
    if (actionName == QLatin1String("PrjSetAction")) return bool(commands_.projectSettings);
    if (actionName == QLatin1String("DefSetAction")) return bool(commands_.defaultSettings);
    return true;
}

QAction* TMainForm::Action(const QString& name) const {
    return actions_.value(name);
}

QLabel* TMainForm::StatusPanel(int index) const {
    return index >= 0 && index < static_cast<int>(statusPanels_.size()) ? statusPanels_[index]
                                                                        : nullptr;
}

void TMainForm::EnableDatabaseCommands() {
    for (const char* name : kDatabaseActions) {
        const QString actionName = QString::fromLatin1(name);
        actions_.value(actionName)->setEnabled(HasCommand(actionName));
    }
    databaseCommandsEnabled_ = true;
    linksView_->show();
    statusPanels_[2]->setText(QString::fromUtf8(kInsHint));
}

void TMainForm::FileChanged() {
    IsSaved = false;
    statusPanels_[1]->setText(tr("Changed"));
}

void TMainForm::FileSaved() {
    IsSaved = true;
    statusPanels_[1]->clear();
}

void TMainForm::UTF8ModeStatus() {
    statusPanels_[2]->setText(UTF8Mode ? tr("UTF-8 Mode") : tr("ANSI Mode"));
}

void TMainForm::SetDatabaseTitle() {
    setWindowTitle(QString::fromStdString(AppTitle) + QStringLiteral(" - ") +
                   ShownPath(DatabasePath));
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A save that fails keeps the window open: closing would lose the changes.
    if (!SaveChangesFirst()) {
        event->ignore();
        return;
    }
    RememberWindowBounds();
    event->accept();
}

void TMainForm::RememberWindowBounds() const {
    WindowMaximized = isMaximized();
    const QRect bounds = WindowMaximized ? normalGeometry() : geometry();
    WindowLeft = bounds.x();
    WindowTop = bounds.y();
    WindowWidth = bounds.width();
    WindowHeight = bounds.height();
}

namespace {

// The local folders among the dropped items.
QStringList DroppedFolders(const QMimeData* data) {
    QStringList folders;
    if (data == nullptr || !data->hasUrls()) return folders;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && QFileInfo(path).isDir()) folders << path;
    }
    return folders;
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (databaseCommandsEnabled_ && commands_.addDroppedFolder &&
        !DroppedFolders(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TMainForm::dropEvent(QDropEvent* event) {
    if (!databaseCommandsEnabled_ || !commands_.addDroppedFolder) return;
    const QStringList folders = DroppedFolders(event->mimeData());
    if (folders.isEmpty()) return;
    event->acceptProposedAction();
    for (const QString& folder : folders) {
        if (const std::optional<std::string> held = HeldFolderPath(this, folder))
            commands_.addDroppedFolder(*this, IncludeTrailingSeparator(*held));
    }
}

}  // namespace qmp::ui
