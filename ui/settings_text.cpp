#include "ui/settings_text.h"

#include <string_view>

#include "decoding/ansi_code_page.h"
#include "decoding/utf8_codec.h"

namespace qmp::ui {
namespace {

// U+F700 + b stands for the raw byte b.
constexpr char16_t kByteMark = 0xF700;

bool IsByteMark(char32_t cp) {
    return cp >= kByteMark && cp <= kByteMark + 0xFF;
}

// Whether the editor shows `cp` and gives it back unchanged: controls are
// invisible, the line and paragraph separators would become line breaks, and
// U+FDD0 and its neighbours mark frames inside the editor.
bool Showable(char32_t cp) {
    if (cp == '\t') return true;
    if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F)) return false;
    return !IsByteMark(cp) && cp != 0x2028 && cp != 0x2029 && !(cp >= 0xFDD0 && cp <= 0xFDEF);
}

void AppendCodePoint(char32_t cp, QString& out) {
    if (cp > 0xFFFF) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(static_cast<char16_t>(cp));
    }
}

// True when the bytes hold some UTF-8 beyond ASCII and nothing else: plain
// ASCII stays system ANSI text, which is what the rating reader takes.
bool IsUtf8Text(std::string_view bytes) {
    bool beyondAscii = false;
    while (!bytes.empty()) {
        if (static_cast<unsigned char>(bytes.front()) < 0x80) {
            bytes.remove_prefix(1);
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = utf8::WellFormedSequence(bytes, cp);
        if (n == 0 || utf8::IsSurrogate(cp)) return false;
        beyondAscii = true;
        bytes.remove_prefix(n);
    }
    return beyondAscii;
}

}  // namespace

SettingsText::SettingsText(std::string bytes) : bytes_(std::move(bytes)) {
    const std::string_view b = bytes_;
    const std::size_t firstBreak = b.find('\n');
    crLf_ = firstBreak != std::string_view::npos && firstBreak > 0 && b[firstBreak - 1] == '\r';
    utf8_ = IsUtf8Text(b);
    text_.reserve(static_cast<qsizetype>(b.size()));
    for (std::size_t at = 0; at < b.size();) {
        const auto byte = static_cast<unsigned char>(b[at]);
        if (byte == '\n') {
            text_ += QLatin1Char('\n');
            ++at;
            continue;
        }
        if (byte == '\r' && crLf_ && at + 1 < b.size() && b[at + 1] == '\n') {
            text_ += QLatin1Char('\n');
            at += 2;
            continue;
        }
        // A carriage return that is not part of the file's line break is a
        // control like any other: kept as a byte.
        char32_t cp = byte;
        std::size_t length = 1;
        if (byte >= 0x80 && utf8_) {
            length = utf8::WellFormedSequence(b.substr(at), cp);
        } else if (byte >= 0x80) {
            cp = AnsiCharToWide(byte);
            if (static_cast<unsigned char>(WideCharToAnsi(static_cast<char16_t>(cp), '\0')) != byte)
                cp = 0;
        }
        if (Showable(cp)) {
            AppendCodePoint(cp, text_);
        } else {
            for (std::size_t k = 0; k < length; ++k)
                text_ +=
                    QChar(static_cast<char16_t>(kByteMark + static_cast<unsigned char>(b[at + k])));
        }
        at += length;
    }
}

std::string SettingsText::Bytes(const QString& edited) const {
    QString text = edited;
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    if (text == text_) return bytes_;

    const std::string_view lineBreak = crLf_ ? "\r\n" : "\n";
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(text.size()) / 8);
    QString run;
    const auto flush = [&] {
        if (run.isEmpty()) return;
        out += utf8_ ? run.toStdString() : WideToAnsi(run.toStdU16String());
        run.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('\n')) {
            flush();
            out += lineBreak;
        } else if (IsByteMark(ch.unicode())) {
            flush();
            out.push_back(static_cast<char>(ch.unicode() - kByteMark));
        } else if (!utf8_ && ch.isHighSurrogate() && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            // One character beyond the code page: one "?".
            flush();
            out.push_back('?');
            ++i;
        } else {
            run += ch;
        }
    }
    flush();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) out += lineBreak;
    return out;
}

}  // namespace qmp::ui
