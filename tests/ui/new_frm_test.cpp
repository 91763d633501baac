#include "ui/new_frm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/database.h"
#include "core/program_values.h"
#include "core/project_folder.h"
#include "system/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"
#include "tests/ui/fake_main_form.h"
#include "tests/ui/picture_support.h"
#include "tests/ui/window_test_support.h"
#include "ui/prompts.h"

namespace qmp::ui {
namespace {

using qmp::test::ReadFileBytes;
using qmp::test::TempFolder;
namespace fs = std::filesystem;

// A template whose search page (qmp.html) is titled with the template's name.
void WriteTemplate(const TempFolder& program, const std::string& name,
                   const std::string& body = {}) {
    program.Write("Templates/" + name + "/qmp.html",
                  "<html><head><title>" + name + "</title></head><body>" + body + "</body></html>");
}

QUrl PageOf(const QString& name) {
    return QUrl::fromLocalFile(QString::fromStdString(DefaultTemplatesDir()) + name +
                               QStringLiteral("/qmp.html"));
}

// Waits for the preview to finish a page (one already finished counts).
bool PageLoaded(QSignalSpy& loads) {
    return !loads.isEmpty() || loads.wait(30000);
}

}  // namespace

class NewFormTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        PromptAnswers::Enable();
        program_ = std::make_unique<TempFolder>();
        SetProgramDirOverride(program_->dir());
        fs::create_directories(program_->path() / "Templates");
    }
    void cleanup() {
        PromptAnswers::Disable();
        SetProgramDirOverride("");
    }

    // The sub-folders are the templates, sorted whatever their case; the
    // first is previewed while the root-folder field keeps the focus. The
    // arrow keys preview the next one, and a page loaded while the focus is
    // in the preview gives it back to the list. The status bar shows the link
    // under the pointer.
    void listsAndPreviewsTheTemplates() {
        const QStringList names = {QStringLiteral("Alpha"), QStringLiteral("beta"),
                                   QStringLiteral("Gamma")};
        for (const QString& name : names)
            WriteTemplate(*program_, name.toStdString(),
                          "<a href=\"next.html\" style=\"position:absolute;left:0;top:0;"
                          "width:300px;height:200px\">link</a>");
        program_->Write("Templates/readme.txt", "not a template");
        TNewForm form(nullptr, DefaultTemplatesDir());
        QSignalSpy loads(form.WebBrowser(), &QWebEngineView::loadFinished);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.PathEdit()->text(), QString::fromStdString(DocumentsDir()));
        QCOMPARE(form.DBNameEdit()->text(), QString::fromStdString(DefaultDatabaseName));
        QStringList listed;
        for (int i = 0; i < form.TemplateComboBox()->count(); ++i)
            listed << form.TemplateComboBox()->itemText(i);
        QCOMPARE(listed, names);

        for (int step = 0; step < names.size(); ++step) {
            if (step == 1) QTest::keyClick(form.TemplateComboBox(), Qt::Key_Down);
            if (step == 2) {
                form.WebBrowser()->setFocus();
                form.TemplateComboBox()->setCurrentIndex(2);
            }
            QVERIFY(PageLoaded(loads));
            loads.clear();
            QCOMPARE(form.WebBrowser()->url(), PageOf(names[step]));
            QTRY_COMPARE(form.WebBrowser()->title(), names[step]);
            QTRY_COMPARE(QApplication::focusWidget(), step == 0
                                                          ? static_cast<QWidget*>(form.PathEdit())
                                                          : form.TemplateComboBox());
            form.TemplateComboBox()->setFocus();
        }
        int moves = 0;
        const auto hover = [&] {
            QTest::mouseMove(form.WebBrowser()->focusProxy(), QPoint(40 + moves++ % 2, 40));
            return form.StatusBar()->currentMessage();
        };
        QTRY_COMPARE_WITH_TIMEOUT(
            hover(), PageOf(names.back()).resolved(QUrl("next.html")).toString(), 10000);
    }

    // The labels name their fields, Tab visits them in reading order, and
    // "..." puts the chosen root folder in its field (a cancelled choice
    // leaves it).
    void fieldsAreLabelledAndReachable() {
        WriteTemplate(*program_, "t");
        TNewForm form(nullptr, DefaultTemplatesDir());
        std::vector<QWidget*> buddies;
        for (const char* text : {"Select your website/CD/DVD project root directory:",
                                 "Search database file:", "Search engine template:"})
            for (QLabel* label : form.findChildren<QLabel*>())
                if (label->text() == QLatin1String(text)) buddies.push_back(label->buddy());
        QCOMPARE(buddies, (std::vector<QWidget*>{form.PathEdit(), form.DBNameEdit(),
                                                 form.TemplateComboBox()}));
        const std::vector<QWidget*> order = {
            form.PathEdit(),         form.SelBtn(),   form.DBNameEdit(),
            form.TemplateComboBox(), form.OkButton(), form.findChild<QPushButton*>("CancelBtn"),
            form.WebBrowser()};
        std::vector<QWidget*> visited;
        QWidget* at = form.PathEdit();
        do {
            if (std::find(order.begin(), order.end(), at) != order.end()) visited.push_back(at);
            at = at->nextInFocusChain();
        } while (at != form.PathEdit());
        QCOMPARE(visited, order);

        PromptAnswers::AnswerNextFolder(QStringLiteral("/srv/www"));
        PromptAnswers::AnswerNextFolder(std::nullopt);
        for (int click = 0; click < 2; ++click) {
            form.SelBtn()->click();
            QCOMPARE(form.PathEdit()->text(), QStringLiteral("/srv/www/"));
        }
        QCOMPARE(PromptAnswers::FolderTitles(),
                 std::vector<QString>(2, QStringLiteral("Root directory")));
    }

    // Nothing is fetched from the network for the preview, even by a page
    // whose settings would let local content reach it.
    void previewStaysLocal() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        WriteTemplate(*program_, "t",
                      "<img src=\"http://127.0.0.1:" + std::to_string(server.serverPort()) +
                          "/picture.png\">");
        TNewForm form(nullptr, DefaultTemplatesDir());
        form.WebBrowser()->page()->settings()->setAttribute(
            QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
        QSignalSpy loads(form.WebBrowser(), &QWebEngineView::loadFinished);
        form.WebBrowser()->reload();
        QTRY_VERIFY_WITH_TIMEOUT(loads.contains(QList<QVariant>{true}), 30000);
        QVERIFY(!server.waitForNewConnection(1000));
    }

    // OK copies the template into the root folder (typed without its final
    // "/", or not there yet, too), asks before replacing the search page, and
    // opens the template's database; without a web engine it works the same.
    void okCreatesTheEngine_data() {
        QTest::addColumn<QString>("typedRoot");  // below a temporary folder
        QTest::addColumn<bool>("ownSearchPage");
        QTest::addColumn<bool>("webEngine");
        QTest::newRow("with final /") << "site/" << false << true;
        QTest::newRow("without final /") << "site" << false << true;
        QTest::newRow("not there yet") << "new/deeper" << false << true;
        QTest::newRow("own search page kept") << "site/" << true << true;
        QTest::newRow("no web engine") << "site" << false << false;
    }
    void okCreatesTheEngine() {
        QFETCH(QString, typedRoot);
        QFETCH(bool, ownSearchPage);
        QFETCH(bool, webEngine);
        WriteTemplate(*program_, "Alpha");
        WriteTemplate(*program_, "Beta");
        program_->Write("Templates/Alpha/images/logo.txt", "logo");
        const std::string templateDb = program_->Write(
            "Templates/Alpha/searchdb.js",
            ReadFileBytes(qmp::test::SourceDir() + "data/Templates/Full page/searchdb.js"));
        TCat categories;
        categories.Add("All Categories");
        categories.Add("Music");
        TBase links;
        links.Add({1, "Song", "music/song.mp3", "A song", {"song", "music"}});
        NullHost quiet;
        QVERIFY(SaveDatabaseFile(quiet, SystemFileOps(), templateDb, categories, links));
        OpenDatabase(quiet, templateDb);
        const TCat templateCategories = Categories;
        const TBase templateLinks = Links;
        QCOMPARE(templateLinks.Count(), 1);

        TempFolder sites;
        const std::string root = IncludeTrailingSeparator(sites.dir() + typedRoot.toStdString());
        if (ownSearchPage) sites.Write(typedRoot.toStdString() + "qmp.html", "mine");
        qmp::test::ScopedEnv engine("QTWEBENGINEPROCESS_PATH",
                                    webEngine ? nullptr : "/nonexistent/QtWebEngineProcess");
        test::FakeMainForm window;
        test::WhenShown<TNewForm>([&](TNewForm& form) {
            QCOMPARE(form.WebBrowser() != nullptr, webEngine);
            form.PathEdit()->setText(QString::fromStdString(sites.dir()) + typedRoot);
            QTest::keyClick(form.PathEdit(), Qt::Key_Return);
        });
        QVERIFY(RunNewEngine(window));

        QCOMPARE(DatabasePath, root + "searchdb.js");
        QCOMPARE(ReadFileBytes(root + "images/logo.txt"), std::string("logo"));
        QCOMPARE(Categories.Names(), templateCategories.Names());
        QVERIFY(Links.Records() == templateLinks.Records());
        QCOMPARE(ReadFileBytes(root + "qmp.html"),
                 ownSearchPage ? std::string("mine")
                               : ReadFileBytes(program_->path() / "Templates/Alpha/qmp.html"));
        std::vector<std::string> asked;
        for (const Message& message : PromptAnswers::Messages())
            if (message.caption == "Question" && message.icon == MessageIcon::kWarning &&
                message.buttons == MessageButtons::kYesNo)
                asked.push_back(message.text);
        QCOMPARE(asked, ownSearchPage ? std::vector{ReplaceQuestionText(root + "qmp.html")}
                                      : std::vector<std::string>{});
        QCOMPARE(PromptAnswers::Messages().size(), asked.size());
    }

    // With no template to copy, OK copies nothing and opens a database file
    // that is not there: the tables start empty. Cancel creates nothing.
    void okWithoutTemplatesAndCancel_data() {
        QTest::addColumn<QByteArray>("plainFile");  // in the templates folder
        QTest::addColumn<bool>("cancel");
        QTest::newRow("empty templates folder") << QByteArray() << false;
        QTest::newRow("a plain file only") << QByteArray("qmp.html") << false;
        QTest::newRow("cancel") << QByteArray() << true;
    }
    void okWithoutTemplatesAndCancel() {
        QFETCH(QByteArray, plainFile);
        QFETCH(bool, cancel);
        if (!plainFile.isEmpty()) program_->Write("Templates/" + plainFile.toStdString(), "file");
        if (cancel) WriteTemplate(*program_, "Alpha");
        Categories.Add("left over");
        Links.Add({0, "left over", "x.html", "", {}});
        DatabasePath = "/elsewhere/searchdb.js";
        TempFolder sites;
        const std::string root = sites.dir() + "site/";

        test::FakeMainForm window;
        test::WhenShown<TNewForm>([&](TNewForm& form) {
            QCOMPARE(form.TemplateComboBox()->count(), cancel ? 1 : 0);
            if (!cancel) QVERIFY(form.WebBrowser()->url().isEmpty());
            form.PathEdit()->setText(QString::fromStdString(root));
            QTest::keyClick(&form, cancel ? Qt::Key_Escape : Qt::Key_Return);
        });
        QCOMPARE(RunNewEngine(window), !cancel);

        QCOMPARE(DatabasePath, cancel ? "/elsewhere/searchdb.js" : root + DefaultDatabaseName);
        QCOMPARE(Categories.Count() + Links.Count(), cancel ? 2 : 0);
        QVERIFY(fs::is_empty(sites.path()));
        QVERIFY(PromptAnswers::Messages().empty());
    }

    // The dialog with a template of the build tree's preview is drawn in
    // the usual and dark colours and at its smallest size.
    void drawnInEveryScheme() {
        SetProgramDirOverride(qmp::test::RuntimeDir());
        QVERIFY(!ListTemplates(DefaultTemplatesDir()).empty());
        test::CheckDrawnInEveryScheme([](bool smallest) {
            auto form = std::make_unique<TNewForm>(nullptr, DefaultTemplatesDir());
            QSignalSpy loads(form->WebBrowser(), &QWebEngineView::loadFinished);
            form->PathEdit()->setText(QStringLiteral("/home/author/Documents/my-site/"));
            if (smallest) form->resize(form->minimumSize());
            form->show();
            QWidget* preview = PageLoaded(loads) ? form->WebBrowser() : nullptr;
            return test::PictureSubject{std::move(form), preview};
        });
    }

private:
    std::unique_ptr<TempFolder> program_;
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::NewFormTest)
#include "new_frm_test.moc"
