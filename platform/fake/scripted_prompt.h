// A Prompt that answers from a script and records everything it was shown, for tests.
// Message boxes take the next scripted answer, or the default answer when the script
// is used up; pickers and input boxes likewise. yield() runs an optional hook, which
// tests use to press Stop or close a window in the middle of a run.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompt.h"

namespace korvex {

class ScriptedPrompt : public Prompt {
public:
    Answer messageBox(const Message& message) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view initial) override;
    std::string pickFolder(std::string_view title) override;
    std::string pickOpenFile(std::string_view title, std::string_view filter,
                             std::string_view initialFolder) override;
    std::string pickSaveFile(std::string_view title, std::string_view filter,
                             std::string_view initialFolder, std::string_view fileName) override;
    void yield() override;
    void status(std::string_view text) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    void busy(bool on) override;

    // Script.
    std::deque<Answer> answers;          // next message-box answers
    Answer defaultAnswer = Answer::OK;   // when answers is empty
    std::deque<std::optional<std::string>> inputs;  // next input-box results (nothing = cancel)
    std::deque<std::string> picks;       // next picker results ("" = cancel)
    std::function<void()> onYield;       // runs at every yield
    std::function<void(std::string_view)> onStatus;  // runs at every status text

    // Record.
    std::vector<Message> messages;
    std::vector<std::string> statuses;
    std::uint64_t yields = 0;
    std::uint64_t lastDone = 0, lastTotal = 0;
    bool isBusy = false;
};

}  // namespace korvex
