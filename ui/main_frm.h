#pragma once
// The main window: the open search database as a list of categories or of
// links, with every command of the program in its menus, toolbar and the
// list's context menu.

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/database_lock.h"
#include "core/link_table.h"
#include "ui/dialog_commands.h"
#include "ui/links_view_model.h"
#include "ui/main_form_ops.h"
#include "ui/window_host.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTableView;

namespace qmp::ui {

class TMainForm final : public QMainWindow, public MainFormOps {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainForm)

public:
    // `commands`: the dialogs' commands; an empty one keeps its action disabled.
    explicit TMainForm(DialogCommands commands, QWidget* parent = nullptr);
    ~TMainForm() override;

    // MainFormOps
    QWidget* Window() override { return this; }
    Host& WindowHost() override { return host_; }
    void RefreshView(bool full) override;
    void RedrawViewAsCat() override;
    bool ShowsCategories() const override { return viewMode_ == ViewMode::kCategories; }
    void FileChanged() override;
    void FileSaved() override;
    void UTF8ModeStatus() override;
    void EnableDatabaseCommands() override;
    void SetDatabaseTitle() override;
    bool FileSave() override;

    // The full redraw of the links view, and its quick form after an edit.
    void RedrawViewAsBase();
    void RedrawViewAsBaseQuick();

    // The command line's part of the window's start (arguments without the
    // program's name, the first a database): the database opened and the
    // batch verb run. False when the start ends there.
    bool ProcessCommandLine(const std::vector<std::string>& arguments);
    // The window's bounds into the program values kept in the settings file:
    // the normal bounds, and whether it is maximised.
    void RememberWindowBounds() const;

    // The action named `name` ("FileSave"), the list and status panel 0 to 3.
    QAction* Action(const QString& name) const;
    QTableView* LinksView() const { return linksView_; }
    QLabel* StatusPanel(int index) const;
    LinksViewModel* ViewModel() const { return model_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct ActionEntry;
    enum class Move { kToBegin, kUp, kDown, kToEnd };
    static std::span<const ActionEntry> ActionEntries();

    void CreateActions();
    void CreateMenus();
    void CreateList();
    void CreateStatusBar();
    // True when the command behind `actionName` exists in this build.
    bool HasCommand(const QString& actionName) const;

    // The list.
    void SetColumns(ViewMode mode);
    void FocusCurrentRow(int current);
    std::optional<int> FirstSelectedRow() const;
    std::vector<int> SelectedRows() const;
    void LinksViewSelectItem();
    void LinksViewColumnClick(int column);
    void LinksViewDblClick();
    void SetViewStatus();

    // Shared steps of the commands.
    // Asks whether to save unsaved changes and saves on Yes; false when that
    // save failed, so that the caller keeps them.
    bool SaveChangesFirst();
    void OpenDatabaseFile(const std::string& path);
    // Takes the database's lock and reads it into the tables, telling the
    // author what stands in the way of saving it later.
    void ReadDatabase(const std::string& path);
    // True when the database at `path` may be saved now under `lock`: no other
    // program holds it, and the author agreed to replace a file that another
    // program changed.
    bool MaySave(const std::string& path, DatabaseLock& lock);
    // Save As and export: `save` writes the database into `path`, which then
    // is the window's database.
    void SaveInto(const std::string& path, const std::function<bool(const std::string&)>& save);
    void ShowWarning(std::string text);
    bool RunLinkForm(const QString& caption, TBaseRecord& record, bool fill);
    void MoveSelected(Move move);
    void SortLinks(void (TBase::*sort)());

    // The commands, by action.
    void FileNewExecute();
    void FileOpenExecute();
    void FileSaveExecute();
    void FileSaveAsExecute();
    void FileImportExecute();
    void FileBuildInExecute();
    void FilePreviewExecute();
    void FileExitExecute();
    void EditAddExecute();
    void AddSiteExecute();
    void EditModifyExecute();
    void EditDeleteExecute();
    void EditClearExecute();
    void UpdateBaseExecute();
    void MoveToBeginExecute();
    void MoveUpExecute();
    void MoveDownExecute();
    void MoveToEndExecute();
    void SortByCatExecute();
    void SortByURLExecute();
    void SortByCaptionExecute();
    void SortByDescriptionExecute();
    void SortByKeysExecute();
    void PrjSetActionExecute();
    void DefSetActionExecute();
    void ViewCatExecute();
    void ViewLinksExecute();
    void HelpIndexExecute();
    void HelpCheckForUpdatesExecute();
    void HelpWebSiteExecute();
    void HelpAboutExecute();

    DialogCommands commands_;
    DatabaseLock lock_;
    qmp::ui::WindowHost host_{*this};
    QHash<QString, QAction*> actions_;
    QActionGroup* viewGroup_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QTableView* linksView_ = nullptr;
    LinksViewModel* model_ = nullptr;
    std::vector<QLabel*> statusPanels_;
    ViewMode viewMode_ = ViewMode::kLinks;
    bool databaseCommandsEnabled_ = false;
};

}  // namespace qmp::ui
