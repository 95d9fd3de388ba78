// Everything the logic says to the user or asks of them goes through a Prompt:
// message boxes with their exact icon, buttons, title and text; an input box; folder
// and file pickers; status and progress of the current window; and yielding to the
// message loop. The windows implement it with Qt, the tests and korvex-cli with
// scripted answers, so every text the user sees can be checked word for word.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

enum class Icon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class Buttons { OK = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum class Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Message {
    Icon icon = Icon::None;
    Buttons buttons = Buttons::OK;
    int defaultButton = 1;  // 1-based, as the buttons are listed
    std::string title;
    std::string text;
};

class Prompt {
public:
    virtual ~Prompt() = default;

    virtual Answer messageBox(const Message& message) = 0;
    // The entered text, or nothing when the user cancelled.
    virtual std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                                std::string_view initial) = 0;
    // Pickers give Windows paths of the machine, or "" when cancelled. filter is in
    // the common-dialog form "Uninstall data (*.kvu)|*.kvu|All files (*.*)|*.*".
    virtual std::string pickFolder(std::string_view title) = 0;
    virtual std::string pickOpenFile(std::string_view title, std::string_view filter,
                                     std::string_view initialFolder) = 0;
    virtual std::string pickSaveFile(std::string_view title, std::string_view filter,
                                     std::string_view initialFolder, std::string_view fileName) = 0;

    // Hands control to the message loop so windows repaint and a close request is seen.
    // Cheap enough to call once per folder or key: implementations rate-limit it.
    virtual void yield() = 0;
    // The current window's status line (the folder being read, the phase of a run).
    virtual void status(std::string_view text) = 0;
    virtual void progress(std::uint64_t done, std::uint64_t total) = 0;
    // The hourglass pointer during loads, saves and uninstalls.
    virtual void busy(bool on) = 0;
};

}  // namespace korvex
