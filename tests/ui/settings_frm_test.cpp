#include "ui/settings_frm.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QtTest>
#include <array>
#include <filesystem>
#include <memory>

#include "core/program_values.h"
#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "indexing/project_settings.h"
#include "system/paths.h"
#include "tests/support/faulty_file_ops.h"
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

const std::array<std::string, 3> kFiles = {"set.xml", "tags.xml", "words.xml"};

void AppendToPage(TSettingsForm& form, int page, const QString& text) {
    QTextCursor cursor(form.Memo(page)->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

// Runs the project or the default command with `drive` answering the dialog.
void Run(bool defaults, test::FakeMainForm& window, std::function<void(TSettingsForm&)> drive,
         FileOps& ops = SystemFileOps()) {
    test::WhenShown<TSettingsForm>(std::move(drive));
    defaults ? RunDefaultSettings(window, ops) : RunProjectSettings(window, ops);
}

enum class Fault { kSecondRename, kDiskFullInSecond, kFlush, kKilledInThird };

}  // namespace

class SettingsFormTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        PromptAnswers::Enable();
        program_ = std::make_unique<TempFolder>();
        project_ = std::make_unique<TempFolder>();
        for (const std::string& name : kFiles)
            program_->Write(name, ReadFileBytes(qmp::test::SourceDir() + "data/" + name));
        SetProgramDirOverride(program_->dir());
        DatabasePath = project_->dir() + "searchdb.js";
    }
    void cleanup() {
        PromptAnswers::Disable();
        SetProgramDirOverride("");
        ResetProjectSettings();
    }

    // Each page shows its file (the project's own, else the program
    // folder's; the defaults only the program folder's). OK writes all three,
    // edited or not, and reloads; Tab reaches the buttons; the dialog always
    // opens on the first page, and Cancel writes nothing.
    void showsEachFileAndWritesAllThree_data() {
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<int>("editedPage");  // -1: none
        QTest::newRow("project") << false << -1;
        QTest::newRow("project, edited") << false << 1;
        QTest::newRow("defaults, edited") << true << 2;
    }
    void showsEachFileAndWritesAllThree() {
        QFETCH(bool, defaults);
        QFETCH(int, editedPage);
        project_->Write("tags.xml", "<tags>\n<b rating=\"7\"/>\n</tags>\n");
        std::array<std::string, 3> shown;
        for (std::size_t i = 0; i < kFiles.size(); ++i)
            shown[i] =
                ReadFileBytes((i == 1 && !defaults ? *project_ : *program_).path() / kFiles[i]);
        const fs::path target = (defaults ? *program_ : *project_).path();

        test::FakeMainForm window;
        Run(defaults, window, [&](TSettingsForm& form) {
            QCOMPARE(form.windowTitle(), defaults
                                             ? QStringLiteral("Default settings for new projects")
                                             : QStringLiteral("Search engine settings"));
            QCOMPARE(form.Pages()->currentIndex(), 0);
            for (int page = 0; page < TSettingsForm::kPageCount; ++page)
                QCOMPARE(form.Memo(page)->toPlainText(),
                         QString::fromStdString(shown[static_cast<std::size_t>(page)]));
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(form.IndexingMemo(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), form.OkButton());
            if (editedPage >= 0) AppendToPage(form, editedPage, QStringLiteral("<!-- edited -->"));
            form.Pages()->setCurrentIndex(2);
            form.OkButton()->click();
        });
        for (std::size_t i = 0; i < kFiles.size(); ++i)
            QCOMPARE(ReadFileBytes(target / kFiles[i]),
                     shown[i] + (static_cast<int>(i) == editedPage ? "<!-- edited -->\n" : ""));
        QCOMPARE(window.utf8Panel.size(), std::size_t{1});

        Run(defaults, window, [](TSettingsForm& form) {
            QCOMPARE(form.Pages()->currentIndex(), 0);
            AppendToPage(form, 0, QStringLiteral("cancelled"));
            form.reject();
        });
        QCOMPARE(ReadFileBytes(target / kFiles[0]), shown[0]);
        QCOMPARE(window.utf8Panel.size(), std::size_t{1});
        QVERIFY(PromptAnswers::Messages().empty());
    }

    // A file that cannot be read stops the loading with "Cannot read
    // settings": the pages before it stay filled, OK does nothing.
    void unreadableFileDisablesOk_data() {
        QTest::addColumn<bool>("defaults");
        QTest::newRow("project") << false;
        QTest::newRow("defaults") << true;
    }
    void unreadableFileDisablesOk() {
        QFETCH(bool, defaults);
        fs::remove(program_->path() / "tags.xml");
        test::FakeMainForm window;
        Run(defaults, window, [&](TSettingsForm& form) {
            QCOMPARE(PromptAnswers::Messages().size(), std::size_t{1});
            QCOMPARE(PromptAnswers::Messages().front().text, std::string("Cannot read settings"));
            QCOMPARE(form.IndexingMemo()->toPlainText(),
                     QString::fromStdString(ReadFileBytes(program_->path() / "set.xml")));
            QVERIFY(form.TagsMemo()->toPlainText().isEmpty());
            QVERIFY(!form.OkButton()->isEnabled());
            form.accept();
            QVERIFY(form.isVisible());
        });
        QVERIFY(fs::is_empty(project_->path()));
        QVERIFY(!fs::exists(program_->path() / "tags.xml"));
        QVERIFY(window.utf8Panel.empty());
    }

    // A write that fails leaves that file as it was and keeps the ones
    // written before it; the dialog stays open with what was typed.
    void failedWriteKeepsTheFile_data() {
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("written");  // files written before the failure
        QTest::newRow("second rename") << false << int(Fault::kSecondRename) << 1;
        QTest::newRow("disk full in the second") << false << int(Fault::kDiskFullInSecond) << 1;
        QTest::newRow("flush") << false << int(Fault::kFlush) << 0;
        QTest::newRow("killed in the third") << false << int(Fault::kKilledInThird) << 2;
        QTest::newRow("defaults, second rename") << true << int(Fault::kSecondRename) << 1;
    }
    void failedWriteKeepsTheFile() {
        QFETCH(bool, defaults);
        QFETCH(int, fault);
        QFETCH(int, written);
        const TempFolder& target = defaults ? *program_ : *project_;
        std::array<std::string, 3> before;
        for (std::size_t i = 0; i < kFiles.size(); ++i) {
            before[i] = "<!-- " + kFiles[i] + " -->\n";
            target.Write(kFiles[i], before[i]);
        }
        qmp::test::FaultyFileOps ops;
        switch (static_cast<Fault>(fault)) {
            case Fault::kSecondRename:
                ops.failRenames = {2};
                break;
            case Fault::kDiskFullInSecond:
                ops.failWritesAfter = static_cast<long long>(before[0].size()) + 8;
                break;
            case Fault::kFlush:
                ops.failCommit = true;
                break;
            // Create, write, flush, rename and folder flush per file.
            case Fault::kKilledInThird:
                ops.dieAtOperation = 12;
                break;
        }

        test::FakeMainForm window;
        Run(
            defaults, window,
            [&](TSettingsForm& form) {
                for (int page = 0; page < TSettingsForm::kPageCount; ++page)
                    AppendToPage(form, page, QStringLiteral("new"));
                form.OkButton()->click();
                QVERIFY(form.isVisible());
                QVERIFY(form.IndexingMemo()->toPlainText().endsWith(QStringLiteral("new")));
            },
            ops);
        for (std::size_t i = 0; i < kFiles.size(); ++i)
            QCOMPARE(ReadFileBytes(target.path() / kFiles[i]),
                     before[i] + (static_cast<int>(i) < written ? "new\n" : ""));
        QCOMPARE(PromptAnswers::Messages().size(), std::size_t{1});
        QCOMPARE(PromptAnswers::Messages().front().text,
                 std::string(defaults ? "Cannot save settings. Please check permission to the "
                                        "program folder"
                                      : "Cannot save settings to the project folder"));
        QVERIFY(window.utf8Panel.empty());
    }

    // Saved settings that switch the UTF-8 mode reach the window's panel.
    void utf8SwitchReachesThePanel_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("to UTF-8") << "1";
        QTest::newRow("to ANSI") << "0";
    }
    void utf8SwitchReachesThePanel() {
        QFETCH(QString, value);
        const bool utf8 = value == QStringLiteral("1");
        UTF8Mode = !utf8;
        test::FakeMainForm window;
        Run(false, window, [&](TSettingsForm& form) {
            static const QRegularExpression key(QStringLiteral("UTF8Mode value=\"[^\"]*\""));
            QString text = form.IndexingMemo()->toPlainText();
            QVERIFY(text.contains(key));
            form.IndexingMemo()->setPlainText(
                text.replace(key, QStringLiteral("UTF8Mode value=\"%1\"").arg(value)));
            form.OkButton()->click();
        });
        QCOMPARE(window.utf8Panel, std::vector<bool>{utf8});
    }

    // Whatever bytes a file holds, saving it unedited writes exactly those,
    // and an edit keeps every byte it does not touch; text typed goes into
    // the file's own encoding and line breaks.
    void bytesSurviveTheEditor_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");  // read as UTF-8
        QTest::addColumn<QString>("shown");
        QTest::newRow("code page, no-break space, unused byte")
            << QByteArray("<a>\xA0\x81 caf\xE9</a>\n") << false << QStringLiteral("caf\u00e9");
        QTest::newRow("control bytes") << QByteArray("a\0b\x1F\x7F\tc\n", 8) << false << "\tc";
        QTest::newRow("UTF-8") << QByteArray("<w>caf\xC3\xA9 \xE2\x82\xAC</w>\n") << true
                               << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("UTF-8 separators, private use, C1") << QByteArray(
                                                                  "a\xE2\x80\xA8"
                                                                  "b\xEF\x9C\x81\xC2\x85\n")
                                                           << true << "a";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF<a/>\n") << true << "<a/>";
        QTest::newRow("almost UTF-8") << QByteArray("caf\xC3\xA9 \xFF\n") << false << "caf";
        QTest::newRow("CR LF") << QByteArray("<a>\r\n</a>\r\n") << false << "</a>";
        QTest::newRow("carriage return in a line") << QByteArray("a\rb\n") << false << "b";
        QTest::newRow("no final line break") << QByteArray("a\nb") << false << "b";
        QTest::newRow("empty") << QByteArray() << false << "";
    }
    void bytesSurviveTheEditor() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(QString, shown);
        const std::string original = bytes.toStdString();
        const std::string file = project_->Write("set.xml", original);
        test::FakeMainForm window;
        Run(false, window, [&](TSettingsForm& form) {
            QVERIFY(form.IndexingMemo()->toPlainText().contains(shown));
            form.OkButton()->click();
        });
        QCOMPARE(ReadFileBytes(file), original);

        Run(false, window, [&](TSettingsForm& form) {
            QTextCursor(form.IndexingMemo()->document()).insertText(QStringLiteral("X\u00e9\n"));
            form.OkButton()->click();
        });
        const std::size_t firstBreak = original.find('\n');
        const bool crLf =
            firstBreak != std::string::npos && firstBreak > 0 && original[firstBreak - 1] == '\r';
        const std::string lineBreak = crLf ? "\r\n" : "\n";
        const std::string typed = utf8 ? "X\xC3\xA9" : std::string{'X', WideCharToAnsi(u'\u00e9')};
        const bool lastLineOpen = !original.empty() && original.back() != '\n';
        QCOMPARE(ReadFileBytes(file),
                 typed + lineBreak + original + (lastLineOpen ? lineBreak : ""));
    }

    // A page that is not well-formed XML (HTML character references aside)
    // is marked on its tab, a hint that never keeps OK from saving.
    void malformedPageIsMarked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wellFormed");
        QTest::newRow("settings") << "<?xml version=\"1.0\"?>\n<tags><b rating=\"7\"/></tags>"
                                  << true;
        QTest::newRow("HTML reference") << "<words>da&szlig; &amp;</words>" << true;
        QTest::newRow("unknown reference") << "<words>&nosuchname;</words>" << false;
        QTest::newRow("unclosed element") << "<tags>\n<b>\n</tags>\n" << false;
    }
    void malformedPageIsMarked() {
        QFETCH(QString, text);
        QFETCH(bool, wellFormed);
        TSettingsForm form(nullptr);
        form.SetPageText(1, SettingsText(text.toStdString()));
        QCOMPARE(form.Pages()->tabIcon(1).isNull(), wellFormed);
        QCOMPARE(form.Pages()->tabToolTip(1).isEmpty(), wellFormed);
        QVERIFY(form.OkButton()->isEnabled());
        form.TagsMemo()->setPlainText(wellFormed ? QStringLiteral("<tags>")
                                                 : QStringLiteral("<a/>"));
        QTRY_COMPARE(form.Pages()->tabIcon(1).isNull(), !wellFormed);
    }

    // The dialog with the program's own settings files is drawn in the usual
    // and dark colours and at its smallest size, where no page's caption is
    // cut.
    void drawnInEveryScheme() {
        test::CheckDrawnInEveryScheme([this](bool smallest) {
            auto form = std::make_unique<TSettingsForm>(nullptr);
            form->setWindowTitle(QStringLiteral("Search engine settings"));
            for (int page = 0; page < TSettingsForm::kPageCount; ++page)
                form->SetPageText(
                    page, SettingsText(ReadFileBytes(program_->path() /
                                                     kFiles[static_cast<std::size_t>(page)])));
            if (smallest) form->resize(form->minimumSize());
            form->show();
            // Every page's caption is whole at the smallest size too.
            QTabBar* tabs = form->Pages()->tabBar();
            const int lastTab = TSettingsForm::kPageCount - 1;
            if (tabs->tabRect(lastTab).right() >= tabs->width()) return test::PictureSubject{};
            QWidget* memo = form->IndexingMemo();
            return test::PictureSubject{std::move(form), memo};
        });
    }

private:
    std::unique_ptr<TempFolder> program_;
    std::unique_ptr<TempFolder> project_;
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::SettingsFormTest)
#include "settings_frm_test.moc"
