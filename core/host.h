#pragma once
// What the core asks of the program around it: the window and the command
// line each implement this, so the core never reaches into either.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace qmp {

enum class MessageIcon { kError, kWarning, kQuestion, kInformation };
enum class MessageButtons { kOk, kYesNo, kYesNoCancel };
enum class MessageAnswer { kOk, kYes, kNo, kCancel };

// The answer that changes nothing, for when nobody is there to ask.
constexpr MessageAnswer CarefulAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kYesNo: return MessageAnswer::kNo;
        case MessageButtons::kYesNoCancel: return MessageAnswer::kCancel;
        case MessageButtons::kOk: break;
    }
    return MessageAnswer::kOk;
}

// A modal message box. Texts are system ANSI text, as paths and messages are
// held; "\n" in them is a line break.
struct Message {
    std::string caption;  // "Error", "Warning" or "Question"
    std::string text;
    MessageIcon icon = MessageIcon::kError;
    MessageButtons buttons = MessageButtons::kOk;
};

class Host {
public:
    virtual ~Host() = default;

    // Shows the message and gives the button chosen.
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
    // The wait cursor; every Begin is matched by one End (see WaitCursor).
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // Lets the window process its pending messages once.
    virtual void ProcessMessages() = 0;
    // Redraws the list: in full after an open, the quick form otherwise.
    virtual void RefreshView(bool full) = 0;
    // Loads the rating settings for the folder of `databasePath` (they may
    // change the project-wide indexing switches).
    virtual void LoadRatingSettings(std::string_view databasePath) = 0;
};

// A host that shows nothing and answers No to every question: for tools and
// tests that need none of it.
class NullHost : public Host {
public:
    MessageAnswer ShowMessage(const Message& message) override {
        return CarefulAnswer(message.buttons);
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ProcessMessages() override {}
    void RefreshView(bool) override {}
    void LoadRatingSettings(std::string_view) override {}
};

// `pattern` with each "%s" replaced by the next of `values` (a "%s" beyond
// them stays as it is).
inline std::string FormatMessage(std::string_view pattern,
                                 std::initializer_list<std::string_view> values) {
    std::string text;
    auto next = values.begin();
    for (std::size_t at = 0; at < pattern.size();) {
        const std::size_t mark = pattern.find("%s", at);
        if (mark == std::string_view::npos || next == values.end()) {
            text.append(pattern.substr(at));
            break;
        }
        text.append(pattern.substr(at, mark - at));
        text.append(*next++);
        at = mark + 2;
    }
    return text;
}

// Shows `text` captioned "Error" with the error icon and an OK button.
inline void ShowError(Host& host, std::string text) {
    host.ShowMessage({"Error", std::move(text), MessageIcon::kError, MessageButtons::kOk});
}

// Shows the wait cursor for the lifetime of the object.
class WaitCursor final {
public:
    explicit WaitCursor(Host& host) : host_(host) { host_.BeginWaitCursor(); }
    ~WaitCursor() { host_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Host& host_;
};

}  // namespace qmp
