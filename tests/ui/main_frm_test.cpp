#include "ui/main_frm.h"

#include <QAccessible>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/database.h"
#include "core/database_lock.h"
#include "core/program_values.h"
#include "core/start_up.h"
#include "system/paths.h"
#include "tests/support/open_recorder.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/window_test_support.h"
#include "ui/about_frm.h"
#include "ui/cat_frm.h"
#include "ui/icons.h"
#include "ui/link_frm.h"
#include "ui/prompts.h"

namespace qmp::ui {

using test::Captions;
using test::LetterLinks;
using test::WhenShown;

class MainFormTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolder> folder_;
    std::unique_ptr<test::ScopedEnv> home_;
    std::unique_ptr<TMainForm> form_;
    std::string path_;
    int newEngineCalls_ = 0;

    // A fresh window showing an engine of `categories` and `links`, opened as
    // from the command line, with nothing asked yet.
    TMainForm& Open(const std::vector<std::string>& categories,
                    const std::vector<TBaseRecord>& links) {
        form_.reset();
        InitDefaults();
        PromptAnswers::Enable();
        path_ = test::WriteEngine(*folder_, categories, links);
        DialogCommands commands;
        commands.newEngine = [this](MainFormOps&) {
            ++newEngineCalls_;
            return false;
        };
        newEngineCalls_ = 0;
        form_ = std::make_unique<TMainForm>(std::move(commands));
        form_->resize(800, 500);
        form_->show();
        form_->ProcessCommandLine({path_});
        return *form_;
    }
    void Select(const std::vector<int>& rows) {
        QItemSelectionModel* selection = form_->LinksView()->selectionModel();
        selection->clearSelection();
        for (const int row : rows)
            selection->select(form_->ViewModel()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void Trigger(const char* action) { form_->Action(QString::fromLatin1(action))->trigger(); }
    QString Panel(int index) const { return form_->StatusPanel(index)->text(); }
    std::string Cell(int row, int column) const {
        return form_->ViewModel()->LinksViewData(row, column);
    }
    static std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const Message& m : PromptAnswers::Messages())
            texts.push_back(m.text);
        return texts;
    }

private slots:
    void init() {
        folder_ = std::make_unique<test::TempFolder>();
        home_ = std::make_unique<test::ScopedEnv>("HOME", folder_->dir().c_str());
        SetProgramDirOverride(test::RuntimeDir());
    }
    void cleanup() {
        form_.reset();
        PromptAnswers::Disable();
        SetProgramDirOverride("");
        home_.reset();
        folder_.reset();
    }

    // A dialog cancelled or a question answered No or Cancel leaves the
    // tables, the title and the saved flag as they were.
    void cancelledDialogsChangeNothing() {
        const struct {
            const char* name;
            const char* action;
            bool categoriesView;
            bool changed;
        } cases[] = {
            {"open", "FileOpen", false, false},
            {"open after a change", "FileOpen", false, true},
            {"new after a change", "FileNew", false, true},
            {"import", "FileImport", false, false},
            {"save as", "FileSaveAs", false, true},
            {"export", "FileBuildIn", false, false},
            {"add link", "EditAdd", false, false},
            {"modify link", "EditModify", false, true},
            {"add category", "EditAdd", true, false},
            {"delete links", "EditDelete", false, false},
            {"delete all", "EditClear", true, false},
            {"preview", "FilePreview", false, true},
        };
        for (const auto& c : cases) {
            TMainForm& form = Open({"All Categories", "News"}, LetterLinks("ABC"));
            if (c.categoriesView) Trigger("ViewCat");
            Select({1});
            if (c.changed) form.FileChanged();
            const QString title = form.windowTitle();
            WhenShown<QDialog>([](QDialog& dialog) { dialog.reject(); });
            Trigger(c.action);
            QApplication::processEvents();
            QVERIFY2(form.windowTitle() == title, c.name);
            QVERIFY2(Panel(1) == (c.changed ? "Changed" : ""), c.name);
            QVERIFY2(IsSaved == !c.changed, c.name);
            QVERIFY2(Captions() == "ABC" && Categories.Count() == 2, c.name);
            QVERIFY2(DatabasePath == path_, c.name);
            QVERIFY2(newEngineCalls_ == (std::string_view(c.action) == "FileNew"), c.name);
        }
    }

    // Adding marks the database changed; a sort or an import does not.
    void changedAfterAddNotAfterSortOrImport() {
        const std::string other =
            test::WriteEngine(*folder_, {"Other"}, LetterLinks("XY", 3), "otherdb.js");
        const struct {
            const char* name;
            std::function<void()> run;
            bool changed;
            std::string captions;
            int categories;
        } cases[] = {
            {"add category",
             [this] {
                 Trigger("ViewCat");
                 WhenShown<TCatForm>([](TCatForm& f) {
                     f.NameEdit()->setText(QStringLiteral("Events"));
                     f.OkButton()->click();
                 });
                 Trigger("EditAdd");
             },
             true, "CAB", 2},
            {"add link",
             [this] {
                 WhenShown<TLinkForm>([](TLinkForm& f) {
                     f.URLEdit()->setText(QStringLiteral("d.html"));
                     f.CaptionEdit()->setText(QStringLiteral("D"));
                     f.OkButton()->click();
                 });
                 Trigger("EditAdd");
             },
             true, "CABD", 1},
            {"category made in a link given up",
             [this] {
                 WhenShown<TLinkForm>([](TLinkForm& f) {
                     WhenShown<TCatForm>([](TCatForm& c) {
                         c.NameEdit()->setText(QStringLiteral("Events"));
                         c.OkButton()->click();
                     });
                     f.NewCatBtn()->click();
                     f.reject();
                 });
                 Trigger("EditAdd");
             },
             true, "CAB", 2},
            {"sort", [this] { Trigger("SortByCaption"); }, false, "ABC", 1},
            {"import",
             [&] {
                 PromptAnswers::AnswerNextFile(QString::fromStdString(other));
                 Trigger("FileImport");
             },
             false, "CABXY", 1},
        };
        for (const auto& c : cases) {
            Open({"All Categories"}, LetterLinks("CAB"));
            c.run();
            QVERIFY2(Panel(1) == (c.changed ? "Changed" : ""), c.name);
            QVERIFY2(IsSaved == !c.changed, c.name);
            QVERIFY2(Captions() == c.captions, c.name);
            QVERIFY2(Categories.Count() == c.categories, c.name);
            QCOMPARE(PromptAnswers::Unanswered(), 0);
        }
    }

    // Several selected links move together and keep their order; afterwards
    // only the row where the last single move left its link is selected.
    void movesOfSelectedLinks() {
        const struct {
            const char* action;
            std::vector<int> rows;
            std::string captions;
            int selected;
        } cases[] = {
            {"MoveToBegin", {1, 3}, "BDACE", 0}, {"MoveToEnd", {1, 3}, "ACEBD", 4},
            {"MoveUp", {0, 1}, "BACDE", 0},      {"MoveDown", {3, 4}, "ABCED", 4},
            {"MoveDown", {0, 2}, "BADCE", 1},    {"MoveUp", {}, "ABCDE", -1},
        };
        for (const auto& c : cases) {
            Open({"All Categories"}, LetterLinks("ABCDE"));
            // A column the user widened stays so through the quick redraw.
            form_->LinksView()->horizontalHeader()->resizeSection(3, 210);
            Select(c.rows);
            Trigger(c.action);
            QCOMPARE(Captions(), c.captions);
            QCOMPARE(form_->LinksView()->horizontalHeader()->sectionSize(3), 210);
            const QModelIndexList selected = form_->LinksView()->selectionModel()->selectedRows();
            if (c.selected < 0) {
                QCOMPARE(Panel(1), QString());
                continue;
            }
            QCOMPARE(selected.size(), 1);
            QCOMPARE(selected.front().row(), c.selected);
            QCOMPARE(Panel(1), QStringLiteral("Changed"));
        }
    }

    // Deleting category 2 of five takes its links; later categories' links
    // follow their category down one number.
    void deleteCategoryTwoOfFive() {
        std::vector<TBaseRecord> links;
        for (int k = 0; k < 5; ++k)
            for (TBaseRecord& link : LetterLinks(std::string(1, char('A' + k)), k))
                links.push_back(link);
        Open({"C0", "C1", "C2", "C3", "C4"}, links);
        Trigger("ViewCat");
        Select({2});
        PromptAnswers::AnswerNextMessage(MessageAnswer::kYes);
        Trigger("EditDelete");
        QCOMPARE(Texts().front(),
                 std::string("Deleting of the category will delete all referenced links, "
                             "too.\n\nAre you sure to delete this category and referenced "
                             "links?"));
        QCOMPARE(Categories.Names(), (std::vector<std::string>{"C0", "C1", "C3", "C4"}));
        QCOMPARE(Captions(), std::string("ABDE"));
        Trigger("ViewLinks");
        QCOMPARE(Cell(2, 1), std::string("C3 (2)"));
        QCOMPARE(Cell(3, 1), std::string("C4 (3)"));
        QCOMPARE(Panel(1), QStringLiteral("Changed"));
    }

    void deleteAllInCategoriesView() {
        Open({"C0", "C1"}, LetterLinks("AB", 1));
        Trigger("ViewCat");
        PromptAnswers::AnswerNextMessage(MessageAnswer::kYes);
        Trigger("EditClear");
        QCOMPARE(Categories.Names(), std::vector<std::string>{"All Categories"});
        QCOMPARE(Links.Count(), 0);
        QCOMPARE(form_->ViewModel()->rowCount(), 1);
        QCOMPARE(Panel(0), QStringLiteral("Categories"));
        QCOMPARE(Panel(1), QStringLiteral("Changed"));
    }

    // A click on a column of the links view sorts by it, every time the same
    // way; "#" and the categories view's columns sort nothing.
    void columnClicks() {
        const struct {
            bool categoriesView;
            int column;
            std::string captions;
        } cases[] = {
            {false, 3, "ABC"},
            {false, 0, "CAB"},
            {true, 1, "CAB"},
            {true, 0, "CAB"},
        };
        for (const auto& c : cases) {
            Open({"All Categories", "News"}, LetterLinks("CAB"));
            if (c.categoriesView) Trigger("ViewCat");
            QHeaderView* header = form_->LinksView()->horizontalHeader();
            for (int click = 0; click < 2; ++click) {
                const QPoint at(header->sectionViewportPosition(c.column) + 5,
                                header->height() / 2);
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
            }
            QCOMPARE(Captions(), c.captions);
            QVERIFY(IsSaved);
        }
    }

    // The preview of a changed database asks first: Yes saves and shows, No
    // shows what is on disk, Cancel does nothing. A saved one is shown at once.
    void previewQuestion() {
        const struct {
            const char* name;
            bool changed;
            MessageAnswer answer;
            bool shown;
            bool savedAfter;
        } cases[] = {
            {"saved", false, MessageAnswer::kOk, true, true},
            {"yes", true, MessageAnswer::kYes, true, true},
            {"no", true, MessageAnswer::kNo, true, false},
            {"cancel", true, MessageAnswer::kCancel, false, false},
        };
        for (const auto& c : cases) {
            test::OpenRecorder opener;
            Open({"All Categories"}, LetterLinks("AB"));
            const std::string page = folder_->Write("search.html", "<html></html>");
            if (c.changed) {
                Links.Add(LetterLinks("Z").front());
                form_->FileChanged();
                PromptAnswers::AnswerNextMessage(c.answer);
            }
            Trigger("FilePreview");
            QVERIFY2(PromptAnswers::Messages().size() == (c.changed ? 1u : 0u), c.name);
            QVERIFY2(IsSaved == c.savedAfter, c.name);
            QVERIFY2(opener.Started() == c.shown, c.name);
            if (c.shown) QVERIFY2((opener.Wait() == std::vector<std::string>{"1", page}), c.name);
            const bool fileHasZ = test::ReadFileBytes(path_).find("Z.html") != std::string::npos;
            QVERIFY2(fileHasZ == (c.changed && c.savedAfter), c.name);
        }
    }

    // A save that fails while closing keeps the window open and the changes
    // unsaved; No then closes it.
    void failedSaveOnCloseKeepsWindowOpen() {
        TMainForm& form = Open({"All Categories"}, LetterLinks("AB"));
        form.FileChanged();
        std::filesystem::remove(path_);
        PromptAnswers::AnswerNextMessage(MessageAnswer::kYes);
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QVERIFY(!IsSaved);
        QCOMPARE(Panel(1), QStringLiteral("Changed"));
        // The save names the file and the reason it failed.
        const std::vector<std::string> texts = Texts();
        QCOMPARE(texts.size(), std::size_t{2});
        QCOMPARE(texts[0], std::string("Search engine file is not saved. Save?"));
        QVERIFY(texts[1].find(path_) != std::string::npos);
        QVERIFY(texts[1].ends_with(qmp::kNotCompleted));
        PromptAnswers::AnswerNextMessage(MessageAnswer::kNo);
        QVERIFY(form.close());
    }

    // The window is its database's one writer while it shows it: another
    // program's save waits for it, a database another program holds is shown
    // but not saved over, and a file another program changed is replaced
    // only when the author says so.
    void oneWriterAtATime() {
        Open({"All Categories"}, LetterLinks("AB"));
        DatabaseLock other;
        QCOMPARE(other.Take(path_, false), DatabaseLock::Result::kInUse);
        form_.reset();  // closing lets go
        QCOMPARE(other.Take(path_, false), DatabaseLock::Result::kLocked);

        TMainForm& form = Open({"All Categories"}, LetterLinks("AB"));
        QCOMPARE(Texts().size(), std::size_t{1});
        QVERIFY(Texts()[0].starts_with(other.Problem().substr(0, 20)));
        form.FileChanged();
        const std::string before = test::ReadFileBytes(path_);
        QVERIFY(!form.FileSave());
        QVERIFY(Texts().back().ends_with(kNotCompleted));
        QCOMPARE(Panel(1), QStringLiteral("Changed"));
        other.Release();
        QVERIFY(form.FileSave());
        QCOMPARE(Panel(1), QString());

        for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
            const std::string edited = test::ReadFileBytes(path_) + "// edited by hand\r\n";
            folder_->Write(std::filesystem::path(path_).filename().string(), edited);
            form.FileChanged();
            PromptAnswers::AnswerNextMessage(answer);
            QCOMPARE(form.FileSave(), answer == MessageAnswer::kYes);
            QVERIFY(Texts().back().find("was changed by another program") != std::string::npos);
            if (answer == MessageAnswer::kNo) QCOMPARE(test::ReadFileBytes(path_), edited);
        }
        QVERIFY(test::ReadFileBytes(path_) != before);
        QCOMPARE(PromptAnswers::Unanswered(), 0);
    }

    // Opening another database or making a new one with unsaved changes asks
    // to save them first; Yes with a failed save goes no further.
    void openOrNewWithUnsavedChangesAsksFirst() {
        const struct {
            const char* name;
            const char* action;
            MessageAnswer answer;
            bool saveFails;
            bool goesOn;
        } cases[] = {
            {"open, yes", "FileOpen", MessageAnswer::kYes, false, true},
            {"open, yes, save fails", "FileOpen", MessageAnswer::kYes, true, false},
            {"open, no", "FileOpen", MessageAnswer::kNo, false, true},
            {"new, yes, save fails", "FileNew", MessageAnswer::kYes, true, false},
            {"new, no", "FileNew", MessageAnswer::kNo, false, true},
        };
        for (const auto& c : cases) {
            Open({"All Categories"}, LetterLinks("AB"));
            const std::string other =
                test::WriteEngine(*folder_, {"Other"}, LetterLinks("XY"), "otherdb.js");
            Links.Add(LetterLinks("Z").front());
            form_->FileChanged();
            if (c.saveFails) std::filesystem::remove(path_);
            PromptAnswers::AnswerNextMessage(c.answer);
            PromptAnswers::AnswerNextFile(QString::fromStdString(other));
            Trigger(c.action);
            QVERIFY2(Texts().front() == "Search engine file is not saved. Save?", c.name);
            const bool opened = DatabasePath == other;
            const bool asked = !PromptAnswers::FileChoices().empty() || newEngineCalls_ > 0;
            QVERIFY2(asked == c.goesOn, c.name);
            QVERIFY2(opened == (c.goesOn && std::string_view(c.action) == "FileOpen"), c.name);
            if (!c.goesOn) QVERIFY2(Captions() == "ABZ" && !IsSaved, c.name);
            const bool savedZ = test::ReadFileBytes(path_).find("Z.html") != std::string::npos;
            QVERIFY2(savedZ == (c.answer == MessageAnswer::kYes && !c.saveFails), c.name);
        }
    }

    // A folder dropped on the window goes to the add-folder command once a
    // database is open; dropped files do not.
    void droppedFolderGoesToItsCommand() {
        InitDefaults();
        std::vector<std::string> dropped;
        DialogCommands commands;
        commands.addDroppedFolder = [&](MainFormOps&, const std::string& folder) {
            dropped.push_back(folder);
        };
        TMainForm form(std::move(commands));
        const std::string page = folder_->Write("site/index.html", "<html></html>");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder_->dir() + "site")),
                      QUrl::fromLocalFile(QString::fromStdString(page))});
        for (const bool open : {false, true}) {
            if (open) form.EnableDatabaseCommands();
            // The window takes a drop when it took the drag's entering.
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&form, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&form, &drop);
        }
        QCOMPARE(dropped, std::vector<std::string>{folder_->dir() + "site/"});
    }

    // Every button of the toolbar and entry of the list's menu shows an
    // image, also without a desktop theme; the About box shows the banner.
    void imagesOfTheActionsAndTheAboutBox() {
        QIcon::setThemeName(QString());
        TMainForm& form = Open({"All Categories"}, LetterLinks("A"));
        auto* bar = form.findChild<QToolBar*>(QStringLiteral("ToolBar"));
        auto* menu = form.findChild<QMenu*>(QStringLiteral("ListMenu"));
        QVERIFY(bar != nullptr && menu != nullptr);
        for (const QAction* action : bar->actions() + menu->actions())
            QVERIFY2(action->isSeparator() || !action->icon().isNull(),
                     qPrintable(action->objectName()));
        QSize banner;
        WhenShown<TAboutForm>([&](TAboutForm& about) {
            if (const auto* label = about.findChild<QLabel*>(QStringLiteral("Banner")))
                banner = label->pixmap().deviceIndependentSize().toSize();
            about.accept();
        });
        Trigger("HelpAbout");
        QCOMPARE(banner, AboutBanner().size());
    }

    // Only the commands that exist are enabled with the database's.
    void dialogCommandsEnableTheirActions() {
        const QStringList withCommand = {"FileNew", "AddSite", "UpdateBase", "PrjSetAction",
                                         "DefSetAction"};
        for (const bool given : {false, true}) {
            InitDefaults();
            int calls = 0;
            DialogCommands commands;
            if (given) {
                commands.newEngine = [&](MainFormOps&) { return ++calls, false; };
                commands.addSite = commands.updateBase = commands.projectSettings =
                    commands.defaultSettings = [&](MainFormOps&) { ++calls; };
            }
            TMainForm form(std::move(commands));
            QVERIFY(!form.Action("AddSite")->isEnabled());
            QCOMPARE(form.Action("DefSetAction")->isEnabled(), given);
            form.EnableDatabaseCommands();
            QCOMPARE(form.StatusPanel(2)->text(),
                     QStringLiteral("Press \"Ins\" to add new link or category"));
            QVERIFY(form.Action("FileSave")->isEnabled());
            for (const QString& name : withCommand) {
                QCOMPARE(form.Action(name)->isEnabled(), given);
                if (name != "FileNew") form.Action(name)->trigger();
            }
            QCOMPARE(calls, given ? 4 : 0);
        }
    }

    // A screen reader reads each status panel's text, each cell of the list
    // and each entry of the menus; the keyboard reaches every command through
    // the menu bar's letters and the list by Tab.
    void readableAndReachableWithoutAMouse() {
        TMainForm& form = Open({"All Categories", "News"}, LetterLinks("AB"));
        for (int i = 0; i < 4; ++i) {
            QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(form.StatusPanel(i));
            QVERIFY(panel != nullptr);
            QCOMPARE(panel->text(QAccessible::Name), Panel(i));
            QVERIFY(!panel->text(QAccessible::Description).isEmpty());
        }
        QVERIFY(!Panel(0).isEmpty());

        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form.LinksView());
        QVERIFY(list != nullptr && list->tableInterface() != nullptr);
        QAccessibleTableInterface* table = list->tableInterface();
        QCOMPARE(table->rowCount(), 2);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < table->columnCount(); ++column) {
                QAccessibleInterface* cell = table->cellAt(row, column);
                QVERIFY(cell != nullptr);
                QCOMPARE(cell->text(QAccessible::Name).toStdString(), Cell(row, column));
            }
        QVERIFY(form.LinksView()->focusPolicy() & Qt::TabFocus);

        QSet<QString> inMenus;
        for (QAction* top : form.menuBar()->actions()) {
            QVERIFY2(top->text().contains('&'), qPrintable(top->text()));
            QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(top->menu());
            QVERIFY(menu != nullptr);
            for (int i = 0; i < menu->childCount(); ++i) {
                QAccessibleInterface* entry = menu->child(i);
                if (entry->role() == QAccessible::Separator) continue;
                QVERIFY2(!entry->text(QAccessible::Name).isEmpty(), qPrintable(top->text()));
            }
            for (const QAction* action : top->menu()->actions())
                if (!action->isSeparator()) inMenus.insert(action->objectName());
        }
        for (const QAction* action : form.actions())
            QVERIFY2(inMenus.contains(action->objectName()), qPrintable(action->objectName()));
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::MainFormTest)
#include "main_frm_test.moc"
