#include "ui/link_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/link_view_text.h"
#include "core/program_values.h"
#include "decoding/database_text.h"
#include "decoding/display_text.h"
#include "indexing/extraction.h"
#include "indexing/link_urls.h"
#include "system/full_path.h"
#include "ui/cat_frm.h"
#include "ui/chosen_path.h"
#include "ui/dialog_buttons.h"
#include "ui/icons.h"
#include "ui/make_child.h"
#include "ui/prompts.h"

namespace qmp::ui {
namespace {

constexpr const char* kDocumentFilter =
    "All File Types (*.*)|*.*|"
    "HTML File (*.html;*.htm;*.shtml)|*.html;*.htm;*.shtml|"
    "HTML script File (*.phtml;*.php;*.asp)|*.phtml;*.php;*.asp|"
    "XML File (*.xml;*.xsl)|*.xml;*.xsl|"
    "Document File "
    "(*.txt;*.pdf;*.doc;*.docx;*.docm;*.wk1;*.wk3;*.wk4;*.xls;*.xlw;*.mcw;*.wps;*.wpt;*.wri;"
    "*.wpd;*.pwd;*.pwi)|"
    "*.txt;*.doc;*.pdf;*.wk1;*.wk3;*.wk4;*.xls;*.xlw;*.msw;*.wps;*.wpt;*.wri;*.wpd;*.pwd;*.pwi|"
    "Image File (*.gif;*.jpg;*.png)|*.gif;*.jpg;*.png|"
    "Multimedia File (*.mp3;*.ogg;*.m3u)|*.mp3;*.ogg;*.m3u|"
    "Archive File (*.zip;*.rar)|*.zip;*.rar|"
    "Script File (*.cgi;*.pl;*.php;*.asp;*.dll;*.exe;*.jsp)|"
    "*.cgi;*.pl;*.php;*.asp;*.dll;*.exe;*.jsp";

bool IsLockMark(std::string_view keyword) {
    return keyword == "~" || keyword == "dont_update";
}

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trimmed(std::string_view piece) {
    while (!piece.empty() && IsTrimmed(piece.front()))
        piece.remove_prefix(1);
    while (!piece.empty() && IsTrimmed(piece.back()))
        piece.remove_suffix(1);
    return piece;
}

// The typed URL as the table stores it: percent-encoded, a blank as "%20".
std::string StoredUrl(const QString& typed) {
    return UrlEncode(TypedDatabaseText(typed.toStdString()));
}

QString Shown(std::string_view databaseText) {
    return QString::fromUtf8(DisplayText(databaseText));
}

}  // namespace

std::string ShownKeywordsText(const TBaseRecord& record, bool& locked) {
    locked = false;
    std::string joined;
    const std::size_t count = record.Keywords.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (IsLockMark(record.Keywords[i])) {
            locked = true;
            continue;
        }
        joined += record.Keywords[i];
        if (i + 1 < count) joined += ", ";
    }
    return DisplayText(joined);
}

std::vector<std::string> TypedKeywords(std::string_view storedText, bool dontUpdate) {
    std::vector<std::string> keywords;
    if (dontUpdate) keywords.emplace_back("~");
    if (storedText.empty()) return keywords;
    // Every piece ends at a comma; the one appended ends the last piece.
    std::size_t start = 0;
    for (std::size_t comma; (comma = storedText.find(',', start)) != std::string_view::npos;
         start = comma + 1) {
        keywords.emplace_back(Trimmed(storedText.substr(start, comma - start)));
    }
    keywords.emplace_back(Trimmed(storedText.substr(start)));
    return keywords;
}

TLinkForm::TLinkForm(QWidget* parent, Host& host, TCat& categories, const QString& caption)
    : QDialog(parent),
      host_(host),
      categories_(categories),
      urlEdit_(MakeChild<QLineEdit>(this)),
      selUBtn_(MakeChild<QPushButton>(tr("..."), this)),
      fromCheck_(MakeChild<QCheckBox>(tr("Extract link information"), this)),
      catComboBox_(MakeChild<QComboBox>(this)),
      newCatBtn_(MakeChild<QPushButton>(tr("New..."), this)),
      captionEdit_(MakeChild<QLineEdit>(this)),
      descEdit_(MakeChild<QLineEdit>(this)),
      keysMemo_(MakeChild<QPlainTextEdit>(this)),
      dontUpdateCheckBox_(MakeChild<QCheckBox>(tr("Dont update this link"), this)),
      okButton_(MakeChild<QPushButton>(tr("OK"), this)) {
    setObjectName(QStringLiteral("LinkForm"));
    setWindowTitle(caption);
    urlEdit_->setObjectName(QStringLiteral("URLEdit"));
    selUBtn_->setObjectName(QStringLiteral("SelUBtn"));
    selUBtn_->setAccessibleName(tr("Choose a file"));
    fromCheck_->setObjectName(QStringLiteral("FromCheck"));
    catComboBox_->setObjectName(QStringLiteral("CatComboBox"));
    newCatBtn_->setObjectName(QStringLiteral("NewCatBtn"));
    captionEdit_->setObjectName(QStringLiteral("CaptionEdit"));
    descEdit_->setObjectName(QStringLiteral("DescEdit"));
    keysMemo_->setObjectName(QStringLiteral("KeysMemo"));
    dontUpdateCheckBox_->setObjectName(QStringLiteral("DontUpdateCheckBox"));

    fromCheck_->setChecked(true);
    catComboBox_->setEditable(false);
    keysMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    keysMemo_->setTabChangesFocus(true);
    keysMemo_->setFixedHeight(keysMemo_->fontMetrics().lineSpacing() * 4 + 12);
    keysMemo_->installEventFilter(this);

    // A change of the texts the update would write means the link is now
    // kept by hand; the URL is not one of them.
    const auto lock = [this] { dontUpdateCheckBox_->setChecked(true); };
    connect(captionEdit_, &QLineEdit::textChanged, this, lock);
    connect(descEdit_, &QLineEdit::textChanged, this, lock);
    connect(keysMemo_, &QPlainTextEdit::textChanged, this, lock);
    connect(newCatBtn_, &QPushButton::clicked, this, &TLinkForm::NewCatBtnClick);
    connect(selUBtn_, &QPushButton::clicked, this, &TLinkForm::SelUBtnClick);

    const OkCancelButtons buttons = MakeOkCancelButtons(*this, okButton_);

    auto* fields = MakeChild<QFormLayout>();
    const auto row = [&](const char* label, QWidget* field, QWidget* beside = nullptr) {
        auto* text = MakeChild<QLabel>(QString::fromUtf8(label), this);
        text->setBuddy(field);
        if (beside == nullptr) {
            fields->addRow(text, field);
            return;
        }
        auto* line = MakeChild<QHBoxLayout>();
        line->addWidget(field, 1);
        line->addWidget(beside);
        fields->addRow(text, line);
    };
    row("URL:", urlEdit_, selUBtn_);
    fields->addRow(QString(), fromCheck_);
    row("Category:", catComboBox_, newCatBtn_);
    row("Caption:", captionEdit_);
    row("Description:", descEdit_);
    row("Keywords:", keysMemo_);
    fields->addRow(QString(), dontUpdateCheckBox_);

    auto* picture = MakeChild<QLabel>(this);
    picture->setPixmap(ApplicationIcon().pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    auto* body = MakeChild<QHBoxLayout>();
    body->addWidget(picture);
    body->addLayout(fields, 1);
    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->addLayout(body);
    layout->addWidget(buttons.box);
    setMinimumWidth(480);

    setTabOrder(urlEdit_, selUBtn_);
    setTabOrder(selUBtn_, fromCheck_);
    setTabOrder(fromCheck_, catComboBox_);
    setTabOrder(catComboBox_, newCatBtn_);
    setTabOrder(newCatBtn_, captionEdit_);
    setTabOrder(captionEdit_, descEdit_);
    setTabOrder(descEdit_, keysMemo_);
    setTabOrder(keysMemo_, dontUpdateCheckBox_);
    urlEdit_->setFocus();

    FillCategories();
}

void TLinkForm::FillCategories() {
    catComboBox_->clear();
    for (int n = 0; n < categories_.Count(); ++n)
        catComboBox_->addItem(QString::fromUtf8(CategoryColumnText(categories_, n)));
    catComboBox_->setCurrentIndex(categories_.Count() > 0 ? 0 : -1);
}

void TLinkForm::FillFrom(const TBaseRecord& record) {
    const bool listed = record.Category >= 0 && record.Category < catComboBox_->count();
    catComboBox_->setCurrentIndex(listed ? record.Category : -1);
    // A long text shows its beginning, not its end.
    for (const auto& [edit, text] : {std::pair{urlEdit_, QString::fromUtf8(UrlColumnText(record))},
                                     std::pair{captionEdit_, Shown(record.Caption)},
                                     std::pair{descEdit_, Shown(record.Description)}}) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
    bool locked = false;
    keysMemo_->setPlainText(QString::fromUtf8(ShownKeywordsText(record, locked)));
    // Last, so that the box shows the mark and not the fields' changes above.
    dontUpdateCheckBox_->setChecked(locked);
}

TBaseRecord TLinkForm::Record() const {
    TBaseRecord record;
    record.Category = catComboBox_->currentIndex();
    record.Caption = TypedDatabaseText(captionEdit_->text().toStdString());
    record.URL = StoredUrl(urlEdit_->text());
    record.Description = TypedDatabaseText(descEdit_->text().toStdString());
    record.Keywords = TypedKeywords(TypedDatabaseText(keysMemo_->toPlainText().toStdString()),
                                    dontUpdateCheckBox_->isChecked());
    return record;
}

void TLinkForm::accept() {
    QWidget* missing = nullptr;
    if (urlEdit_->text().isEmpty()) {
        missing = urlEdit_;
    } else if (catComboBox_->currentIndex() < 0) {
        missing = catComboBox_;
    }
    if (missing == nullptr) {
        QDialog::accept();
        return;
    }
    ShowMessageBox(this, {"Error", "Not all required fields are filled", MessageIcon::kError,
                          MessageButtons::kOk});
    missing->setFocus();
}

void TLinkForm::NewCatBtnClick() {
    const std::optional<std::string> name = AskCategoryName(this, tr("Add new category"));
    if (!name) return;
    categories_.Add(*name);
    FillCategories();
    catComboBox_->setCurrentIndex(catComboBox_->count() - 1);
}

void TLinkForm::SelUBtnClick() {
    FileChoice choice;
    choice.kind = FileChoice::Kind::kOpenAny;
    choice.title = tr("Open");
    choice.filter = QString::fromUtf8(kDocumentFilter);
    const std::optional<QString> chosen = ChooseFile(this, choice);
    if (!chosen) return;

    WaitCursor wait(host_);
    // The URL a scan would give the file, however the dialog reached it.
    const std::string file = RealFilePath(AnsiPathOf(*chosen));
    TBaseRecord record;
    record.URL = RelativeUrl(DatabasePath, file);
    urlEdit_->setText(QString::fromUtf8(UrlColumnText(record)));
    record.Category = catComboBox_->currentIndex();
    record.URL = StoredUrl(urlEdit_->text());
    if (fromCheck_->isChecked()) {
        ExtractFile(file, DatabasePath, record);
        FillFrom(record);
    } else {
        record.Caption.clear();
        record.Description.clear();
        record.Keywords.clear();
        FillFrom(record);
        dontUpdateCheckBox_->setChecked(true);
    }
}

bool TLinkForm::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the keywords presses OK, as everywhere else in the dialog.
    if (watched == keysMemo_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            okButton_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qmp::ui
