// The whole window program as an author uses it: a new engine made from a
// template into a copy of the example site, the site's folder added, one link
// edited by hand and the database saved; the file then holds what qmp makes
// of the same folder, but for that link.

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/database.h"
#include "core/program_values.h"
#include "core/project_folder.h"
#include "core/start_up.h"
#include "system/code_page_choice.h"
#include "system/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/window_drive.h"
#include "ui/dialog_commands.h"
#include "ui/link_frm.h"
#include "ui/window_start.h"

namespace qmp::ui {
namespace {

namespace fs = std::filesystem;

// Runs the built qmp with `arguments`; gives its exit code (-1 when it did
// not finish).
int RunQmp(const QStringList& arguments) {
    QProcess qmp;
    qmp.start(QString::fromStdString(test::RuntimeDir() + "qmp"), arguments);
    if (!qmp.waitForFinished(300000)) return -1;
    return qmp.exitStatus() == QProcess::NormalExit ? qmp.exitCode() : -1;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// For each line of a database file: the array it is an entry of ("ln") and
// the entry's number; an empty name for a line outside the arrays.
std::vector<std::pair<std::string, int>> ArrayEntries(const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, int>> entries;
    std::string array;
    int entry = 0;
    for (const std::string& line : lines) {
        if (line.starts_with("var ") && line.find("=new Array(") != std::string::npos) {
            entries.emplace_back();
            array = line.substr(4, line.find('=') - 4);
            entry = 0;
        } else if (line.starts_with(");")) {
            entries.emplace_back();
            array.clear();
        } else {
            entries.emplace_back(array, array.empty() ? 0 : entry++);
        }
    }
    return entries;
}

}  // namespace

class WindowEndToEndTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitSystemCodePage(); }

    void newEngineFolderAndEditAsQmpMakesThem() {
        const test::TempFolder folder;
        const test::ScopedEnv home("HOME", folder.dir().c_str());
        SetProgramDirOverride(test::RuntimeDir());
        InitDefaults();
        const std::vector<std::string> templates = ListTemplates(DefaultTemplatesDir());
        QVERIFY(!templates.empty());
        // The last template, so that the dialog's choice is not its first entry.
        const std::string templateName = templates.back();
        const std::string windowRoot = folder.dir() + "window/site/";
        const std::string qmpRoot = folder.dir() + "qmp/site/";
        for (const std::string& root : {windowRoot, qmpRoot}) {
            fs::create_directories(fs::path(root).parent_path().parent_path());
            fs::copy(test::SourceDir() + "examples/site", root, fs::copy_options::recursive);
        }

        QCOMPARE(RunQmp({"--quiet", "new", QString::fromStdString(qmpRoot), "--template",
                         QString::fromStdString(templateName)}),
                 0);
        QCOMPARE(RunQmp({"--quiet", "addsite", QString::fromStdString(qmpRoot + "searchdb.js"),
                         QString::fromStdString(qmpRoot)}),
                 0);

        PromptAnswers::Enable();
        TMainForm form(ProgramDialogCommands());
        StartMainWindow(form, {});
        // Typed without its final "/".
        QVERIFY(test::NewEngineInWindow(form, QString::fromStdString(windowRoot).chopped(1),
                                        QString::fromStdString(templateName)));
        const std::string database = windowRoot + DefaultDatabaseName;
        QCOMPARE(DatabasePath, database);
        QVERIFY(form.windowTitle().endsWith(QString::fromStdString(database)));
        QVERIFY(IsSaved);

        bool scanned = false;
        QVERIFY(test::AddFolderInWindow(form, QString::fromStdString(windowRoot), {},
                                        [&](TAddUpdateSiteForm&) { scanned = true; }));
        QVERIFY(scanned);
        QVERIFY(Links.Count() > 2);
        QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("Changed"));
        QCOMPARE(form.ViewModel()->rowCount(), Links.Count());

        const int edited = Links.Count() / 2;
        form.LinksView()->selectRow(edited);
        test::WhenShown<TLinkForm>([](TLinkForm& dialog) {
            dialog.CaptionEdit()->setText(QStringLiteral("Typed by hand"));
            dialog.OkButton()->click();
        });
        form.Action(QStringLiteral("EditModify"))->trigger();
        form.Action(QStringLiteral("FileSave"))->trigger();
        QVERIFY(IsSaved);
        QCOMPARE(form.StatusPanel(1)->text(), QString());
        QCOMPARE(PromptAnswers::Unanswered(), 0);
        QVERIFY(PromptAnswers::Messages().empty());
        PromptAnswers::Disable();

        // Byte for byte the same file, but for the lines of the edited link:
        // its caption, and the keywords that now keep the update away.
        const std::vector<std::string> windowLines = Lines(test::ReadFileBytes(database));
        const std::vector<std::string> qmpLines =
            Lines(test::ReadFileBytes(qmpRoot + DefaultDatabaseName));
        QCOMPARE(windowLines.size(), qmpLines.size());
        const auto entries = ArrayEntries(windowLines);
        std::vector<std::string> differing;
        for (std::size_t i = 0; i < windowLines.size(); ++i) {
            if (windowLines[i] == qmpLines[i]) continue;
            QCOMPARE(entries[i].second, edited);
            differing.push_back(entries[i].first);
        }
        QCOMPARE(differing, (std::vector<std::string>{"ln", "kw"}));

        // An update reads every page again and finds what the scan found;
        // the edited link it leaves alone.
        const TCat windowCategories = Categories;
        const TBase windowLinks = Links;
        form.Action(QStringLiteral("UpdateBase"))->trigger();
        QVERIFY(Links.Records() == windowLinks.Records());
        QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("Changed"));

        // Read back: the categories and every other link are qmp's.
        NullHost quiet;
        OpenDatabase(quiet, qmpRoot + DefaultDatabaseName);
        QCOMPARE(windowCategories.Names(), Categories.Names());
        QCOMPARE(windowLinks.Count(), Links.Count());
        TBaseRecord expected = Links.Get(edited);
        expected.Caption = "Typed by hand";
        expected.Keywords.insert(expected.Keywords.begin(), "~");
        for (int i = 0; i < Links.Count(); ++i)
            QVERIFY2(windowLinks.Get(i) == (i == edited ? expected : Links.Get(i)),
                     qPrintable(QString::number(i)));
        SetProgramDirOverride("");
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::WindowEndToEndTest)
#include "window_e2e_test.moc"
