#include "ui/batch_verbs.h"

#include <QtTest>

#include "core/program_values.h"
#include "tests/indexing/project_fixture.h"
#include "tests/ui/scan_test_support.h"
#include "ui/prompts.h"

namespace qmp::ui {

class BatchVerbsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { PromptAnswers::Enable(); }
    void cleanup() { PromptAnswers::Disable(); }

    // "<site>" stands for the test's site folder; every add-folder dialog is
    // cancelled; the database holds one link to start with.
    void argumentForms_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("saveSucceeds");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("links");

        const QStringList updated{"refresh", "changed", "save"};
        const QStringList scanned{"refresh full", "changed", "dialog", "save"};
        QTest::newRow("update") << QStringList{"UPDATE"} << true << updated << 1;
        QTest::newRow("update, save fails") << QStringList{"Update"} << false << updated << 1;
        QTest::newRow("addsite, cancelled")
            << QStringList{"AddSite"} << true << QStringList{"dialog", "save"} << 1;
        QTest::newRow("scripted, a file: its folder")
            << QStringList{"ADDSITE", "<site>/b.html", "2", "y", "n"} << true << scanned << 3;
        QTest::newRow("scripted, no final separator: the parent")
            << QStringList{"addsite", "<site>/sub", "2", "Y", "y"} << true << scanned << 3;
        QTest::newRow("scripted, category not a number")
            << QStringList{"addsite", "<site>/", "2x", "y", "y"} << true << QStringList{} << 1;
        QTest::newRow("six arguments, update")
            << QStringList{"update", "<site>/", "2", "y", "y"} << true << QStringList{} << 1;
        const QStringList seven{"addsite", "<site>/", "2", "y", "y", "y"};
        for (int count : {3, 4, 5, 7})
            QTest::addRow("%d arguments", count)
                << seven.first(count - 1) << true << QStringList{} << 1;
    }
    void argumentForms() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, saveSucceeds);
        QFETCH(QStringList, calls);
        QFETCH(int, links);
        const test::Project project;
        for (const char* name : {"site/a.html", "site/b.html", "site/sub/c.html"})
            project.Write(name, "<meta name=\"quarrymap-category\" content=\"1\">");
        TBaseRecord record;
        record.URL = "site%2Fa.html";
        Links.Add(record);
        test::FakeMainForm window;
        window.saveSucceeds = saveSucceeds;
        const test::EveryPass answer(
            test::AnswerAddSite(window, [](TAddSiteForm&) { return false; }));

        std::vector<std::string> args{project.Database()};
        const QString site = QString::fromStdString(project.Dir() + "site");
        for (QString argument : arguments)
            args.push_back(argument.replace(QLatin1String("<site>"), site).toStdString());
        const bool badCategory = args.size() == 6 && args[3] == "2x";
        // A failed save leaves the window to go on as well.
        QCOMPARE(RunBatchVerbs(window, args), !badCategory);
        QCOMPARE(window.calls, calls);
        QCOMPARE(Links.Count(), links);
        // The scan's category, whatever the pages say.
        for (int i = 1; i < Links.Count(); ++i)
            QCOMPARE(Links.Get(i).Category, 2);
        QCOMPARE(PromptAnswers::Messages().size(), std::size_t(badCategory));
        if (badCategory)
            QCOMPARE(PromptAnswers::Messages().front().text,
                     std::string("'2x' is not a valid integer value"));
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::BatchVerbsTest)
#include "batch_verbs_test.moc"
