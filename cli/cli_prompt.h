// The user of korvex-cli, as the logic sees it: message boxes become one line on
// standard error ("Title: text"), questions are answered Yes/OK only when the command
// line says --yes (otherwise No/Cancel, so nothing is done unasked), pickers and the
// input box are cancelled, and status and progress form one progress line that is
// drawn only when standard error is a terminal.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/prompt.h"

namespace korvex::cli {

class CliPrompt : public Prompt {
public:
    CliPrompt(bool assumeYes, std::FILE* out = stderr);
    ~CliPrompt() override;

    Answer messageBox(const Message& message) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view initial) override;
    std::string pickFolder(std::string_view title) override;
    std::string pickOpenFile(std::string_view title, std::string_view filter,
                             std::string_view initialFolder) override;
    std::string pickSaveFile(std::string_view title, std::string_view filter,
                             std::string_view initialFolder, std::string_view fileName) override;
    void yield() override {}
    void status(std::string_view text) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    void busy(bool) override {}

    // Ends the progress line, if one is shown, so that the next output starts clean.
    void endProgressLine();

    int messagesShown() const { return messages_; }
    bool assumeYes() const { return assumeYes_; }

    // The answer korvex-cli gives to a message box with these buttons.
    static Answer AnswerFor(Buttons buttons, bool assumeYes);

private:
    void draw(bool force);

    bool assumeYes_;
    std::FILE* out_;
    bool terminal_;
    int messages_ = 0;
    std::string status_;
    std::uint64_t done_ = 0, total_ = 0;
    bool lineShown_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace korvex::cli
