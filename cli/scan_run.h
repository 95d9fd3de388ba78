// What korvex-cli's scanning commands (update, find) share: choosing the drives the
// way the main window would, and Ctrl-C stopping a run the way closing its window does.
#pragma once

#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex::cli {

// Checks a --drives text and gives it in the drive list's form ("c:,d:" -> "C:,D:");
// on a mistake, "" and a sentence saying what is wrong.
std::string CheckedDrives(System& system, std::string_view text, std::string& error);
// The fixed drives of the machine for a usage message: "C:, D:", or "none".
std::string FixedDrives(System& system);
// The drives the main window would have selected: the stored "DriveName" when it is
// one of the drive list's entries, else the first entry; "" without a fixed drive.
std::string DefaultDrives(Services& services, RegistryAccess& registry);
// The drives a scanning command works on: the --drives text checked when one was given,
// else DefaultDrives. On failure "" after one line on standard error, and status is 2
// for a mistaken --drives (the usage follows) or 1 when the machine has no fixed drive.
std::string CommandDrives(Services& services, RegistryAccess& registry, std::string_view given,
                          const char* command, const char* verb, const char* usage, int& status);
// The Windows path of a file named on the command line: kept when it is one already,
// else mapped from the host; "" when it lies on none of the machine's drives.
std::string MachinePath(System& system, const std::string& file);
// The same for a folder, which may also be written as a drive alone ("E:").
std::string MachineFolder(System& system, const std::string& folder);

// korvex-cli's prompt for the length of one run: Ctrl-C (or SIGTERM) sets the run's
// stop flag at its next yield; a second Ctrl-C ends the program at once. The previous
// signal handlers come back when the run ends.
class InterruptiblePrompt : public Prompt {
public:
    InterruptiblePrompt(Prompt& inner, bool& stop);
    ~InterruptiblePrompt() override;
    InterruptiblePrompt(const InterruptiblePrompt&) = delete;
    InterruptiblePrompt& operator=(const InterruptiblePrompt&) = delete;

    Answer messageBox(const Message& message) override { return inner_.messageBox(message); }
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view initial) override {
        return inner_.inputBox(prompt, title, initial);
    }
    std::string pickFolder(std::string_view title) override { return inner_.pickFolder(title); }
    std::string pickOpenFile(std::string_view title, std::string_view filter,
                             std::string_view initialFolder) override {
        return inner_.pickOpenFile(title, filter, initialFolder);
    }
    std::string pickSaveFile(std::string_view title, std::string_view filter, std::string_view initialFolder,
                             std::string_view fileName) override {
        return inner_.pickSaveFile(title, filter, initialFolder, fileName);
    }
    void yield() override;
    void status(std::string_view text) override { inner_.status(text); }
    void progress(std::uint64_t done, std::uint64_t total) override { inner_.progress(done, total); }
    void busy(bool on) override { inner_.busy(on); }

private:
    Prompt& inner_;
    bool& stop_;
    void (*oldInt_)(int);
    void (*oldTerm_)(int);
};

}  // namespace korvex::cli
