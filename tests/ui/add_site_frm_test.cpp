#include "ui/add_site_frm.h"

#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "core/program_values.h"
#include "decoding/ansi_code_page.h"
#include "tests/indexing/project_fixture.h"
#include "tests/ui/scan_test_support.h"
#include "ui/cat_frm.h"
#include "ui/make_child.h"
#include "ui/prompts.h"

namespace qmp::ui {

using test::EveryPass;
using test::FakeMainForm;
using test::ShownScanningWindow;

namespace {

// Three listed files in site/, one more in site/sub/.
struct Site {
    Site() {
        for (const char* name : {"site/a.html", "site/b.html", "site/c.txt", "site/sub/d.html"})
            project.Write(name, "<title>page</title>");
    }
    std::string Folder() const { return project.Dir() + "site/"; }
    test::Project project;
};

}  // namespace

class AddSiteFormTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { PromptAnswers::Enable(); }
    void cleanup() { PromptAnswers::Disable(); }

    // The dialog's choices reach the scan, which ends with the quick redraw
    // and "Changed" even when it finds nothing. Cancelling the dialog or the
    // folder choice changes nothing and shows no scanning window.
    void choicesReachTheScan_data() {
        QTest::addColumn<bool>("dialogOk");
        QTest::addColumn<QString>("folder");  // below site/; empty: the choice is cancelled
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<bool>("recurse");
        QTest::addColumn<int>("links");
        QTest::newRow("with sub-folders") << true << "." << false << true << 4;
        QTest::newRow("folder only") << true << "." << false << false << 3;
        QTest::newRow("nothing to add") << true << "sub/empty" << false << true << 0;
        QTest::newRow("dropped folder") << true << "." << true << true << 4;
        QTest::newRow("dialog cancelled") << false << "." << false << true << -1;
        QTest::newRow("folder choice cancelled") << true << "" << false << true << -1;
        QTest::newRow("dropped, dialog cancelled") << false << "." << true << true << -1;
        // Refused with a message that says which code page would hold it.
        QTest::newRow("a folder the code page cannot spell")
            << true << QString::fromUtf8("\xD0\x96\xD1\x83\xD0\xBA") << false << true << -1;
    }
    void choicesReachTheScan() {
        QFETCH(bool, dialogOk);
        QFETCH(QString, folder);
        QFETCH(bool, dropped);
        QFETCH(bool, recurse);
        QFETCH(int, links);
        SetSystemCodePage(kCharsetWindows1252);
        const Site site;
        site.project.Write("site/sub/empty/notes.doc", "not a listed type");
        for (const char* name : {"All", "News", "Walks"})
            Categories.Add(name);
        const std::string chosen = site.Folder() + folder.toStdString();
        PromptAnswers::AnswerNextFolder(
            folder.isEmpty() ? std::nullopt : std::optional(QString::fromStdString(chosen)));
        FakeMainForm window;
        bool scanningWindowShown = false;
        bool defaults = false;
        const EveryPass watch([&] { scanningWindowShown |= ShownScanningWindow() != nullptr; });
        const EveryPass answer(test::AnswerAddSite(window, [&](TAddSiteForm& form) {
            defaults = form.RecurseCheckBox()->isChecked() && !form.AlreadyCheckBox()->isChecked();
            form.RecurseCheckBox()->setChecked(recurse);
            form.CatComboBox()->setCurrentIndex(2);
            return dialogOk;
        }));
        dropped ? RunAddSiteForFolder(window, chosen) : RunAddSite(window);

        QVERIFY(defaults);
        QCOMPARE(PromptAnswers::FolderTitles().size(), std::size_t(dialogOk && !dropped));
        const bool scanned = links >= 0;
        QCOMPARE(scanningWindowShown, scanned);
        QCOMPARE(window.calls,
                 (scanned ? QStringList{"dialog", "refresh", "changed"} : QStringList{"dialog"}));
        QCOMPARE(Links.Count(), std::max(links, 0));
        for (const TBaseRecord& link : Links.Records())
            QCOMPARE(link.Category, 2);
        QVERIFY(ShownScanningWindow() == nullptr && !IsScanRunning());
        const bool refused = dialogOk && !dropped && !folder.isEmpty() && links < 0;
        QCOMPARE(PromptAnswers::Messages().size(), std::size_t(refused));
        if (refused) {
            QVERIFY(PromptAnswers::Messages().front().text.find("QMPLIT_CODEPAGE=windows-1251") !=
                    std::string::npos);
        }
    }

    // Stop, or a close request, ends the scan after the file being read; the
    // links found so far stay, and only the command closes the window.
    void stopKeepsWhatWasFound_data() {
        QTest::addColumn<bool>("byClose");
        QTest::newRow("Stop") << false;
        QTest::newRow("close request") << true;
    }
    void stopKeepsWhatWasFound() {
        QFETCH(bool, byClose);
        const Site site;
        for (const char* name : {"site/e.html", "site/f.html", "site/g.html"})
            site.project.Write(name, "<title>page</title>");
        FakeMainForm window;
        int stoppedAt = -1;
        bool stayedOpen = false;
        const EveryPass stop([&] {
            TAddUpdateSiteForm* form = ShownScanningWindow();
            const QString text = form ? form->FileLabel()->text() : QString();
            const int shown = text.mid(text.lastIndexOf(QLatin1Char(' ')) + 1).toInt();
            if (stoppedAt >= 0 || shown < 2) return;
            stoppedAt = shown;
            if (byClose) {
                stayedOpen = !form->close() && form->isVisible();
            } else {
                QTest::mouseClick(form->StopButton(), Qt::LeftButton);
                stayedOpen = form->isVisible();
            }
        });
        ScanFolderInWindow(window, site.Folder(), 0, true, false);
        QVERIFY(stoppedAt >= 2 && stoppedAt < 6 && stayedOpen);
        QCOMPARE(Links.Count(), stoppedAt + 1);
        QCOMPARE(window.calls, (QStringList{"refresh", "changed"}));
        QVERIFY(ShownScanningWindow() == nullptr);
    }

    // What a scan leaves out is told once, after it, in one warning that
    // lists each entry in its details; a folder that cannot be read at all
    // is an error. Neither stops the scan's ending.
    void leftOutEntriesAreToldOnce() {
        const Site site;
        std::filesystem::create_symlink("/etc/hostname", site.Folder() + "host.html");
        QVERIFY(::mkfifo((site.Folder() + "pipe.html").c_str(), 0600) == 0);
        FakeMainForm window;
        ScanFolderInWindow(window, site.Folder(), 0, true, false);
        ScanFolderInWindow(window, site.Folder() + "missing", 0, true, false);
        const std::vector<Message>& messages = PromptAnswers::Messages();
        QCOMPARE(messages.size(), std::size_t(2));
        QVERIFY(messages[0].caption == "Warning" &&
                messages[0].text.find(" 2 ") != std::string::npos);
        const QString details = PromptAnswers::MessageDetails()[0];
        QVERIFY(details.count(QLatin1Char('\n')) == 2 &&
                details.contains(QLatin1String("host.html")) &&
                details.contains(QLatin1String("pipe.html")));
        QVERIFY(messages[1].caption == "Error" && messages[1].text.starts_with("The folder "));
        QCOMPARE(window.calls, (QStringList{"refresh", "changed", "refresh", "changed"}));
    }

    // While a scan runs the main window takes no input: no button, no
    // shortcut, no close, no second scan.
    void mainWindowWaitsForTheScan() {
        const Site site;
        FakeMainForm window;
        auto* button = MakeChild<QPushButton>(QStringLiteral("Delete"), &window.widget);
        QAction action(&window.widget);
        int triggered = 0;
        QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
        QObject::connect(button, &QPushButton::clicked, [&] { ++triggered; });
        window.widget.show();
        const EveryPass noSecondDialog(
            test::AnswerAddSite(window, [](TAddSiteForm&) { return false; }));
        bool closed = true;
        const EveryPass during([&] {
            if (ShownScanningWindow() == nullptr || !closed) return;
            QTest::mouseClick(button, Qt::LeftButton);
            QShortcutEvent shortcut(QKeySequence(Qt::Key_F4), 0);
            QCoreApplication::sendEvent(&action, &shortcut);
            closed = window.widget.close();
            RunAddSite(window);
            RunUpdateBase(window);
        });
        ScanFolderInWindow(window, site.Folder(), 0, true, false);
        QVERIFY(!closed);
        QCOMPARE(triggered, 0);
        QCOMPARE(Links.Count(), 4);
        QCOMPARE(window.calls, (QStringList{"refresh", "changed"}));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(triggered, 1);
    }

    // "New category..." appends at once, chooses the new entry, redraws the
    // categories view when shown, and the category stays after Cancel.
    void newCategoryStaysAfterCancel_data() {
        QTest::addColumn<bool>("categoriesShown");
        QTest::addColumn<bool>("nameGiven");
        QTest::newRow("categories view") << true << true;
        QTest::newRow("links view") << false << true;
        QTest::newRow("name dialog cancelled") << true << false;
    }
    void newCategoryStaysAfterCancel() {
        QFETCH(bool, categoriesShown);
        QFETCH(bool, nameGiven);
        test::Project project;
        Categories.Add("All Categories");
        FakeMainForm window;
        window.showsCategories = categoriesShown;
        int chosen = -1;
        const EveryPass answer(test::AnswerAddSite(window, [&](TAddSiteForm& form) {
            QTimer::singleShot(0, [&] {
                auto* name = qobject_cast<TCatForm*>(QApplication::activeModalWidget());
                QVERIFY(name != nullptr);
                name->NameEdit()->setText(QStringLiteral("Quarries"));
                nameGiven ? name->accept() : name->reject();
            });
            form.NewCatBtn()->click();
            chosen = form.CatComboBox()->currentIndex();
            return false;
        }));
        RunAddSite(window);
        QCOMPARE(Categories.Names().back(), std::string(nameGiven ? "Quarries" : "All Categories"));
        QCOMPARE(chosen, Categories.Count() - 1);
        QStringList expected{"dialog"};
        if (nameGiven) expected << "changed";
        if (nameGiven && categoriesShown) expected << "categories";
        QCOMPARE(window.calls, expected);
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::AddSiteFormTest)
#include "add_site_frm_test.moc"
