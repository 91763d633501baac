#pragma once
// A rating settings file as text to edit. The files are plain text in the
// system code page (or UTF-8, when an author saved them so); whatever their
// bytes, the text shown gives back exactly those bytes while it is unedited,
// and an edit elsewhere keeps every byte it does not touch: a byte that the
// editor cannot show stands in the text as a private-use character.

#include <QString>
#include <string>

namespace qmp::ui {

class SettingsText final {
public:
    SettingsText() = default;
    explicit SettingsText(std::string bytes);

    // The text to show, lines separated by "\n".
    const QString& Text() const { return text_; }
    // True when the bytes were read as UTF-8 rather than the system code page.
    bool IsUtf8() const { return utf8_; }
    // True when the file's lines end with CR LF rather than LF.
    bool UsesCrLf() const { return crLf_; }

    // The bytes to write for the editor's text `edited` (lines separated by
    // "\n" or U+2029): the file's own bytes while it equals Text(); otherwise
    // each line followed by the file's line break, in the file's encoding
    // ("?" for a character the code page lacks).
    std::string Bytes(const QString& edited) const;

private:
    std::string bytes_;
    QString text_;
    bool utf8_ = false;
    bool crLf_ = false;
};

}  // namespace qmp::ui
