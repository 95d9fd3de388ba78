// The Prompt of a Korvex window: message boxes, the input box and the pickers as Qt
// dialogs owned by that window, and the window's status, progress and hourglass
// through hooks the window sets. Responsible for showing exactly what the logic asks
// and for mapping the machine's Windows paths to host paths and back in the pickers;
// not for any decision about what to ask.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <QString>

#include "platform/prompt.h"
#include "platform/system.h"

class QProgressDialog;
class QWidget;

namespace korvex {

class QtPrompt : public Prompt {
public:
    QtPrompt(QWidget* parent, System& system);
    ~QtPrompt() override;
    QtPrompt(const QtPrompt&) = delete;
    QtPrompt& operator=(const QtPrompt&) = delete;

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

    // Set by the owning window; an unset status hook drops the call, and without a
    // progress hook long work (deleting, moving) shows a progress dialog of its own.
    std::function<void(std::string_view)> onStatus;
    std::function<void(std::uint64_t done, std::uint64_t total)> onProgress;

    // How often yield() really lets the event loop run.
    static constexpr std::chrono::milliseconds kYieldInterval{25};

    // "Desc (*.kvu) | *.kvu|All files|*.*" -> "Desc (*.kvu);;All files (*)".
    static QString ToQtFilter(std::string_view filter);

private:
    // The Windows path of a host pick, or "" after telling the user it is not on the machine.
    std::string toMachinePath(const QString& hostPath);
    QString startFolder(std::string_view windowsFolder);

    QWidget* parent_;
    System& system_;
    std::chrono::steady_clock::time_point lastYield_{};
    int busyDepth_ = 0;
    std::string lastStatus_;
    std::unique_ptr<QProgressDialog> progressDialog_;  // "dlgProgress", while work runs
};

}  // namespace korvex
