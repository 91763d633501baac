#pragma once
// A Host for tests: records what the core asked of it and answers questions
// from a list given in advance (No when the list is empty).

#include <deque>
#include <string>
#include <vector>

#include "core/host.h"

namespace qmp::test {

class RecordingHost : public Host {
public:
    MessageAnswer ShowMessage(const Message& message) override {
        messages.push_back(message);
        if (message.buttons == MessageButtons::kOk) return MessageAnswer::kOk;
        if (answers.empty()) return CarefulAnswer(message.buttons);
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void BeginWaitCursor() override {
        ++waitCursorDepth;
        ++waitCursorUses;
    }
    void EndWaitCursor() override { --waitCursorDepth; }
    void ProcessMessages() override { ++processedMessages; }
    void RefreshView(bool full) override { refreshes.push_back(full); }
    void LoadRatingSettings(std::string_view databasePath) override {
        ratingLoads.emplace_back(databasePath);
    }

    // The texts of the messages shown, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages)
            texts.push_back(m.text);
        return texts;
    }

    std::deque<MessageAnswer> answers;
    std::vector<Message> messages;
    int waitCursorDepth = 0;
    int waitCursorUses = 0;
    int processedMessages = 0;
    std::vector<bool> refreshes;
    std::vector<std::string> ratingLoads;
};

}  // namespace qmp::test
