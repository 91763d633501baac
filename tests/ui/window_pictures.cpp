// Pictures of the window program for the user's manual and the README, made
// offscreen while the real window goes through an author's first steps: a
// new engine from a template into a copy of the example site (new-engine),
// that folder added (add-folder, scanning), the list (main-window), a link
// and a category opened (link-dialog, category-dialog), the project's
// settings (settings) and the About box (about). Each is made in the usual
// colours, in dark ones (name-dark) and at its smallest size
// (name-smallest). Run by scripts/window-pictures.sh.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableView>
#include <cstdio>
#include <filesystem>

#include "core/program_values.h"
#include "core/project_folder.h"
#include "core/start_up.h"
#include "system/code_page_choice.h"
#include "system/paths.h"
#include "tests/support/test_paths.h"
#include "tests/ui/picture_support.h"
#include "tests/ui/window_drive.h"
#include "ui/about_frm.h"
#include "ui/cat_frm.h"
#include "ui/dialog_commands.h"
#include "ui/link_frm.h"
#include "ui/settings_frm.h"
#include "ui/window_start.h"

namespace qmp::ui {
namespace {

namespace fs = std::filesystem;

struct Variant {
    const char* suffix;
    bool dark;
    bool smallest;
};

class Pictures final {
public:
    Pictures(QString folder, const Variant& variant)
        : folder_(std::move(folder)), variant_(variant) {}

    // `window` once it has stopped changing, saved as `name` with the
    // variant's suffix; at its smallest size first for that variant.
    void Take(const QString& name, QWidget& window, const QWidget* content = nullptr) {
        // The main window has no smallest size of its own: it is pictured
        // small instead.
        if (variant_.smallest && window.inherits("QDialog"))
            window.resize(window.minimumSizeHint().expandedTo(window.minimumSize()));
        const bool exposed = QTest::qWaitForWindowExposed(&window);
        const QWidget& drawn = content != nullptr ? *content : window;
        const QImage picture = test::SteadyPicture(window, drawn);
        const QString file = folder_ + name + QLatin1String(variant_.suffix) + ".png";
        if (!exposed || test::ColoursIn(picture, test::AreaIn(drawn)) < 3 || !picture.save(file)) {
            std::fprintf(stderr, "no picture %s\n", qPrintable(file));
            ++failures_;
        }
        taken_ << name;
    }
    // Notes a step that did not go as an author's would.
    void Fail(const char* step) {
        std::fprintf(stderr, "%s%s: %s\n", "window_pictures", variant_.suffix, step);
        ++failures_;
    }
    int Failures() const { return failures_; }
    const QStringList& Taken() const { return taken_; }

private:
    QString folder_;
    Variant variant_;
    int failures_ = 0;
    QStringList taken_;
};

// Where the engine is made: always the same folder, so that the pictures
// show the same paths from one run to the next.
std::string WorkFolder() {
    return QDir::tempPath().toStdString() + "/quarrymap-pictures/my-site/";
}

template <typename Dialog>
void PictureOfDialog(Pictures& pictures, TMainForm& form, const char* action, const QString& name,
                     const std::function<void(Dialog&)>& fill = {}) {
    bool shown = false;
    test::WhenShown<Dialog>([&](Dialog& dialog) {
        shown = true;
        if (fill) fill(dialog);
        pictures.Take(name, dialog);
        dialog.reject();
    });
    form.Action(QString::fromLatin1(action))->trigger();
    if (!shown) pictures.Fail(action);
}

int Run(const Variant& variant, const QString& folder) {
    Pictures pictures(folder, variant);
    const std::string root = WorkFolder();
    fs::remove_all(fs::path(root).parent_path().parent_path());
    fs::create_directories(fs::path(root).parent_path().parent_path());
    fs::copy(test::SourceDir() + "examples/site", root, fs::copy_options::recursive);

    InitDefaults();
    PromptAnswers::Enable();
    TMainForm form(ProgramDialogCommands());
    StartMainWindow(form, {});
    form.resize(variant.smallest ? QSize(480, 320) : QSize(960, 600));

    const std::vector<std::string> templates = ListTemplates(DefaultTemplatesDir());
    const QString firstTemplate =
        templates.empty() ? QString() : QString::fromStdString(templates.front());
    const bool made = test::NewEngineInWindow(
        form, QString::fromStdString(root), firstTemplate, [&](TNewForm& dialog) {
            // The folder an author would type, rather than the scratch one.
            dialog.PathEdit()->setText(QStringLiteral("/home/author/Documents/my-site/"));
            pictures.Take(QStringLiteral("new-engine"), dialog, dialog.WebBrowser());
        });
    if (!made || DatabasePath != root + DefaultDatabaseName) pictures.Fail("FileNew");

    bool scanPictured = false;
    const bool added = test::AddFolderInWindow(
        form, QString::fromStdString(root),
        [&](TAddSiteForm& dialog) { pictures.Take(QStringLiteral("add-folder"), dialog); },
        [&](TAddUpdateSiteForm& scanning) {
            if (scanPictured || Links.Count() < 12) return;
            scanPictured = true;
            pictures.Take(QStringLiteral("scanning"), scanning, scanning.FileLabel());
        });
    if (!added || !scanPictured || Links.Count() < 12) pictures.Fail("AddSite");
    if (!form.FileSave()) pictures.Fail("FileSave");

    form.LinksView()->selectRow(2);
    form.LinksView()->scrollToTop();
    pictures.Take(QStringLiteral("main-window"), form, form.LinksView());
    PictureOfDialog<TLinkForm>(pictures, form, "EditModify", QStringLiteral("link-dialog"));
    form.Action(QStringLiteral("ViewCat"))->trigger();
    PictureOfDialog<TCatForm>(
        pictures, form, "EditAdd", QStringLiteral("category-dialog"),
        [](TCatForm& dialog) { dialog.NameEdit()->setText(QStringLiteral("Walks and talks")); });
    form.Action(QStringLiteral("ViewLinks"))->trigger();
    PictureOfDialog<TSettingsForm>(pictures, form, "PrjSetAction", QStringLiteral("settings"));
    PictureOfDialog<TAboutForm>(pictures, form, "HelpAbout", QStringLiteral("about"));

    if (PromptAnswers::Unanswered() > 0 || !PromptAnswers::Messages().empty())
        pictures.Fail("a question or a message came up");
    PromptAnswers::Disable();
    fs::remove_all(fs::path(root).parent_path().parent_path());
    if (pictures.Failures() == 0)
        std::printf("%s\n", qPrintable(pictures.Taken().join(QLatin1Char(' '))));
    return pictures.Failures();
}

}  // namespace
}  // namespace qmp::ui

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication app(argc, argv);
    qmp::InitSystemCodePage();
    // The program's data lies beside the programs, not beside the tests.
    qmp::SetProgramDirOverride(qmp::test::RuntimeDir());
    // Offscreen there is no desktop to name an icon theme: take the one a
    // GNOME desktop has, as the pictures stand for the program on a desktop.
    if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() +
                                   QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                             QStringLiteral("icons"),
                                                             QStandardPaths::LocateDirectory));
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const QPalette usual = QApplication::palette();
    int failures = 0;
    for (const qmp::ui::Variant& variant :
         {qmp::ui::Variant{"", false, false}, qmp::ui::Variant{"-dark", true, false},
          qmp::ui::Variant{"-smallest", false, true}}) {
        QApplication::setPalette(variant.dark ? qmp::test::DarkPalette() : usual);
        failures += qmp::ui::Run(variant, folder);
    }
    return failures == 0 ? 0 : 1;
}
