#include "ui/window_start.h"

#include <QAction>
#include <QLabel>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "core/program_values.h"
#include "core/start_up.h"
#include "decoding/database_text.h"
#include "indexing/folder_scan.h"
#include "system/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/window_test_support.h"
#include "ui/main_frm.h"
#include "ui/prompts.h"

namespace qmp::ui {

class WindowStartTest final : public QObject {
    Q_OBJECT

    // The program runs from a scratch folder outside the install prefix, so
    // it keeps its settings file beside itself there.
    std::unique_ptr<test::TempFolder> folder_;
    std::unique_ptr<test::ScopedEnv> home_;

    std::string SettingsText() const {
        return test::ReadFileBytes(folder_->path() / "qmplit_us.ini");
    }

private slots:
    void init() {
        folder_ = std::make_unique<test::TempFolder>();
        home_ = std::make_unique<test::ScopedEnv>("HOME", folder_->dir().c_str());
        SetProgramDirOverride(folder_->dir());
        PromptAnswers::Enable();
    }
    void cleanup() {
        PromptAnswers::Disable();
        SetProgramDirOverride("");
        home_.reset();
        folder_.reset();
    }

    // Keys the file lacks keep their defaults.
    void settingsHoldingOnlyDx() {
        folder_->Write("qmplit_us.ini", "[Settings]\r\nDX=800\r\n");
        QVERIFY(StartUp({}));
        TMainForm form{DialogCommands{}};
        StartMainWindow(form, {});
        QCOMPARE(form.geometry(), QRect(10, 10, 800, 400));
        QVERIFY(!form.isMaximized());
        QCOMPARE(form.windowTitle(), QStringLiteral("Corvan Quarrymap Lite"));
        QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("ANSI Mode"));
        QVERIFY(!form.LinksView()->isVisible());
        QVERIFY(!form.Action("FileSave")->isEnabled());
    }

    // "Jobs" in the settings file sets how many files a scan reads at once;
    // anything that is no count of readers means one for each core.
    void jobsSetting() {
        const struct {
            const char* line;
            int jobs;
        } cases[] = {{"Jobs=3", 3},  {"Jobs=1", 1},        {"Jobs=many", 0},
                     {"Jobs=-2", 0}, {"Jobs=100000", 256}, {"DX=800", 0}};
        for (const auto& c : cases) {
            const std::string ini =
                folder_->Write("qmplit_us.ini", std::string("[Settings]\r\n") + c.line + "\r\n");
            ScanJobs = 7;
            ApplyScanJobsSetting(ini);
            QCOMPARE(ScanJobs, c.jobs);
        }
        ScanJobs = 0;
    }

    // A window closed maximised reopens maximised, over the bounds it had
    // before it was maximised.
    void closedMaximisedReopensMaximised() {
        folder_->Write("qmplit_us.ini", "[Settings]\nX0=30\nY0=40\nDX=700\nDY=500\n");
        for (const bool maximise : {true, false}) {
            QVERIFY(StartUp({}));
            TMainForm form{DialogCommands{}};
            StartMainWindow(form, {});
            if (maximise) {
                form.showMaximized();
            } else {
                form.showNormal();
            }
            QVERIFY(form.close());
            ShutDown(form.WindowHost());
            QCOMPARE(QString::fromStdString(SettingsText()),
                     QStringLiteral("[Settings]\nX0=30\nY0=40\nDX=700\nDY=500\nMaximize=%1\n")
                         .arg(maximise ? 1 : 0));
            if (!maximise) continue;
            QVERIFY(StartUp({}));
            TMainForm again{DialogCommands{}};
            StartMainWindow(again, {});
            QVERIFY(again.isMaximized());
            QCOMPARE(again.normalGeometry(), QRect(30, 40, 700, 500));
            again.showNormal();
        }
    }

    // The command line opens its database; two or six arguments run the
    // batch verb, which may end the start before the project's settings are
    // loaded and the encoding is shown (here the verb turns UTF-8 mode on).
    void commandLineOpensAndRunsTheVerb() {
        const struct {
            int count;
            bool verbResult;
            bool verbRuns;
        } cases[] = {{1, true, false}, {2, true, true},  {3, true, false},
                     {6, true, true},  {7, true, false}, {2, false, true}};
        for (const auto& c : cases) {
            QVERIFY(StartUp({}));
            const std::string path =
                test::WriteEngine(*folder_, {"All Categories"}, test::LetterLinks("AB"));
            std::vector<std::string> arguments(c.count, "x");
            arguments.front() = path;
            int verbs = 0;
            std::vector<std::string> given;
            DialogCommands commands;
            commands.batchVerbs = [&](MainFormOps& ops, const std::vector<std::string>& args) {
                ++verbs;
                given = args;
                ops.FileChanged();
                UTF8Mode = true;
                return c.verbResult;
            };
            TMainForm form(std::move(commands));
            StartMainWindow(form, arguments);
            QCOMPARE(verbs, c.verbRuns ? 1 : 0);
            if (c.verbRuns) QCOMPARE(given, arguments);
            QCOMPARE(form.windowTitle(),
                     QStringLiteral("Corvan Quarrymap Lite - ") + QString::fromStdString(path));
            QCOMPARE(form.ViewModel()->rowCount(), 2);
            QCOMPARE(form.StatusPanel(1)->text(),
                     c.verbRuns ? QStringLiteral("Changed") : QString());
            QCOMPARE(form.StatusPanel(2)->text(), c.verbRuns && c.verbResult
                                                      ? QStringLiteral("UTF-8 Mode")
                                                      : QStringLiteral("ANSI Mode"));
            QCOMPARE(form.focusWidget(), form.LinksView());
        }
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::WindowStartTest)
#include "window_start_test.moc"
