#include "ui/settings_frm.h"

#include <sys/stat.h>

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QXmlStreamReader>
#include <algorithm>
#include <string_view>
#include <vector>

#include "core/program_values.h"
#include "decoding/character_references.h"
#include "indexing/rating_settings.h"
#include "system/os_path.h"
#include "system/paths.h"
#include "ui/dialog_buttons.h"
#include "ui/main_form_ops.h"
#include "ui/make_child.h"
#include "ui/prompts.h"
#include "ui/window_place.h"

namespace qmp::ui {
namespace {

// The files in page order, and the pages' captions.
constexpr std::array<std::string_view, TSettingsForm::kPageCount> kFileNames = {
    "set.xml", "tags.xml", "words.xml"};
constexpr std::array<const char*, TSettingsForm::kPageCount> kPageCaptions = {
    "Indexing", "HTML tags ratings", "Stop words"};

// A settings file is a few kilobytes; anything beyond this is not one, and an
// editor would not cope with it.
constexpr off_t kLargestSettingsFile = 16 << 20;

constexpr std::string_view kCannotRead = "Cannot read settings";
constexpr std::string_view kCannotSaveProject = "Cannot save settings to the project folder";
constexpr std::string_view kCannotSaveDefaults =
    "Cannot save settings. Please check permission to the program folder";

bool ReadSettingsFile(const std::string& path, std::string& bytes) {
    struct stat info {};
    if (stat(ToOsPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kLargestSettingsFile) {
        return false;
    }
    return ReadFileContent(path, bytes) &&
           bytes.size() <= static_cast<std::size_t>(kLargestSettingsFile);
}

// `text` with each HTML named character reference that the rating reader
// knows (and XML does not) made an XML one, so that a page is not marked for
// the "&szlig;" of a word list.
QString WithHtmlReferencesAsXml(QString text) {
    static const QRegularExpression kReference(QStringLiteral("&([A-Za-z][A-Za-z0-9]*);"));
    static const QStringList kXmlNames = {QStringLiteral("lt"), QStringLiteral("gt"),
                                          QStringLiteral("amp"), QStringLiteral("quot"),
                                          QStringLiteral("apos")};
    std::vector<QRegularExpressionMatch> known;
    for (auto it = kReference.globalMatch(text); it.hasNext();) {
        QRegularExpressionMatch match = it.next();
        const QString name = match.captured(1);
        const std::string replacement = EntityLookup(name.toStdString());
        if (!kXmlNames.contains(name) && !replacement.empty() && replacement.front() != '&')
            known.push_back(std::move(match));
    }
    for (auto match = known.rbegin(); match != known.rend(); ++match)
        text.replace(match->capturedStart(), match->capturedLength(), QStringLiteral("&amp;"));
    return text;
}

void ShowError(QWidget* owner, std::string_view text) {
    ShowMessageBox(owner, {"Error", std::string(text), MessageIcon::kError, MessageButtons::kOk});
}

// Where one of the two commands reads and writes.
struct SettingsPlace {
    QString caption;
    std::string folder;
    bool programFallback;  // a file the folder lacks is read from ProgramDir
    std::string_view saveError;
};

void RunSettings(MainFormOps& window, const SettingsPlace& place, FileOps& ops) {
    TSettingsForm form(window.Window());
    form.setWindowTitle(place.caption);
    for (int page = 0; page < TSettingsForm::kPageCount; ++page) {
        const std::string name(kFileNames[static_cast<std::size_t>(page)]);
        const std::string path =
            place.programFallback ? RatingFilePath(place.folder, name) : place.folder + name;
        std::string bytes;
        if (!ReadSettingsFile(path, bytes)) {
            ShowError(window.Window(), kCannotRead);
            form.OkButton()->setEnabled(false);
            break;
        }
        form.SetPageText(page, SettingsText(std::move(bytes)));
    }
    // All three files are written, also those shown from the program folder
    // and not changed, each complete or not at all; the first that fails ends
    // the save and leaves the dialog open with what was typed.
    form.SetSaver([&] {
        for (int page = 0; page < TSettingsForm::kPageCount; ++page) {
            const std::string path =
                place.folder + std::string(kFileNames[static_cast<std::size_t>(page)]);
            if (!ReplaceFileContent(ops, path, form.PageBytes(page))) {
                ShowError(&form, place.saveError);
                return false;
            }
        }
        LoadProjectSettings(DatabasePath);
        window.UTF8ModeStatus();
        return true;
    });
    CenterOnScreen(form);
    form.exec();
}

}  // namespace

TSettingsForm::TSettingsForm(QWidget* parent)
    : QDialog(parent),
      pages_(MakeChild<QTabWidget>(this)),
      okButton_(MakeChild<QPushButton>(tr("OK"), this)),
      checkTimer_(MakeChild<QTimer>(this)) {
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    pages_->setObjectName(QStringLiteral("PageControl"));

    const QFont fixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    static constexpr std::array<const char*, kPageCount> kMemoNames = {"IndexingMemo", "TagsMemo",
                                                                       "StopwordsMemo"};
    for (std::size_t page = 0; page < memos_.size(); ++page) {
        auto* memo = MakeChild<QPlainTextEdit>(pages_);
        memo->setObjectName(QLatin1String(kMemoNames[page]));
        memo->setFont(fixedFont);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Tab leaves the text, as in every other field, so the keyboard
        // reaches the buttons.
        memo->setTabChangesFocus(true);
        const QString caption = tr(kPageCaptions[page]);
        memo->setAccessibleName(caption);
        pages_->addTab(memo, caption);
        connect(memo, &QPlainTextEdit::textChanged, checkTimer_, qOverload<>(&QTimer::start));
        memos_[page] = memo;
    }

    checkTimer_->setSingleShot(true);
    checkTimer_->setInterval(300);
    connect(checkTimer_, &QTimer::timeout, this, &TSettingsForm::CheckPages);

    const OkCancelButtons buttons = MakeOkCancelButtons(*this, okButton_);

    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->setContentsMargins(1, 1, 8, 8);
    layout->addWidget(pages_, 1);
    layout->addWidget(buttons.box);

    setTabOrder(pages_->tabBar(), memos_[0]);
    for (std::size_t page = 0; page + 1 < memos_.size(); ++page)
        setTabOrder(memos_[page], memos_[page + 1]);
    setTabOrder(memos_.back(), okButton_);
    setTabOrder(okButton_, buttons.cancel);

    // Always the first page first, whichever was shown last time.
    pages_->setCurrentIndex(0);
    memos_[0]->setFocus();
    // Never so narrow that a page's caption is cut: larger fonts need more.
    const QMargins margins = layout->contentsMargins();
    setMinimumSize(
        std::max(300, pages_->tabBar()->sizeHint().width() + margins.left() + margins.right() + 8),
        200);
    resize(620, 460);
}

void TSettingsForm::SetPageText(int page, SettingsText text) {
    const auto at = static_cast<std::size_t>(page);
    texts_[at] = std::move(text);
    memos_[at]->setPlainText(texts_[at].Text());
    loaded_[at] = true;
    CheckPages();
}

std::string TSettingsForm::PageBytes(int page) const {
    const auto at = static_cast<std::size_t>(page);
    return texts_[at].Bytes(memos_[at]->document()->toRawText());
}

void TSettingsForm::accept() {
    if (!okButton_->isEnabled()) return;
    if (saver_ && !saver_()) return;
    QDialog::accept();
}

// The rating reader takes any text, so a page that is not well-formed XML is
// only marked: most often it is a typing slip that the reader would skip.
void TSettingsForm::CheckPages() {
    checkTimer_->stop();
    for (std::size_t page = 0; page < memos_.size(); ++page) {
        if (!loaded_[page]) continue;
        QXmlStreamReader reader(WithHtmlReferencesAsXml(memos_[page]->toPlainText()));
        while (!reader.atEnd())
            reader.readNext();
        const bool wellFormed = !reader.hasError();
        const QString hint =
            wellFormed ? QString()
                       : tr("Not well-formed XML at line %1: %2\nThe file is read as it is; "
                            "an element that cannot be made out is skipped.")
                             .arg(reader.lineNumber())
                             .arg(reader.errorString());
        const int index = static_cast<int>(page);
        pages_->setTabIcon(
            index, wellFormed ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
        pages_->setTabToolTip(index, hint);
        memos_[page]->setAccessibleDescription(hint);
        wellFormed_[page] = wellFormed;
    }
}

void RunProjectSettings(MainFormOps& window, FileOps& ops) {
    RunSettings(window,
                {QObject::tr("Search engine settings"), ExtractFilePath(DatabasePath), true,
                 kCannotSaveProject},
                ops);
}

void RunDefaultSettings(MainFormOps& window, FileOps& ops) {
    RunSettings(window,
                {QObject::tr("Default settings for new projects"), ProgramDir(), false,
                 kCannotSaveDefaults},
                ops);
}

}  // namespace qmp::ui
