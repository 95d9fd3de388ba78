// korvex-cli update: the update-database run without its window. Same driver, same
// files; the drives come from --drives or, like the main window, from the stored
// "DriveName". Ctrl-C stops the run the way closing the window does: the work files
// are deleted and the scan database files not yet replaced stay as they were.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "scandb/update_database.h"
#include "settings/drive_list.h"
#include "settings/settings_keys.h"

namespace korvex::cli {

namespace {

constexpr const char* kUsage = "usage: korvex-cli [--machine DIR] update [--drives C:|C:,D:]\n";

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int signal) {
    interrupted = 1;
    std::signal(signal, SIG_DFL);  // a second Ctrl-C ends the program at once
}

// Passes everything on to korvex-cli's prompt; yield() turns Ctrl-C into the stop flag.
class InterruptiblePrompt : public Prompt {
public:
    InterruptiblePrompt(Prompt& inner, bool& stop) : inner_(inner), stop_(stop) {}
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
    void yield() override {
        if (interrupted) stop_ = true;
        inner_.yield();
    }
    void status(std::string_view text) override { inner_.status(text); }
    void progress(std::uint64_t done, std::uint64_t total) override { inner_.progress(done, total); }
    void busy(bool on) override { inner_.busy(on); }

private:
    Prompt& inner_;
    bool& stop_;
};

// Installs the Ctrl-C handler for the length of the run and restores the old one.
class InterruptGuard {
public:
    InterruptGuard() {
        interrupted = 0;
        oldInt_ = std::signal(SIGINT, onInterrupt);
        oldTerm_ = std::signal(SIGTERM, onInterrupt);
    }
    ~InterruptGuard() {
        std::signal(SIGINT, oldInt_ == SIG_ERR ? SIG_DFL : oldInt_);
        std::signal(SIGTERM, oldTerm_ == SIG_ERR ? SIG_DFL : oldTerm_);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*oldInt_)(int);
    void (*oldTerm_)(int);
};

// Parses the arguments after "update"; false on a usage error.
bool parseOptions(const std::vector<std::string>& args, std::string& drives, bool& given) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--drives" && i + 1 < args.size()) {
            drives = args[++i];
        } else if (a.rfind("--drives=", 0) == 0) {
            drives = a.substr(9);
        } else {
            return false;
        }
        given = true;
    }
    return true;
}

// Checks a --drives text and gives it in the drive list's form ("c:,d:" -> "C:,D:");
// on a mistake, "" and a message saying what is wrong.
std::string checkedDrives(System& system, std::string_view text, std::string& error) {
    std::string out;
    std::string seen;
    for (std::size_t i = 0;; i += 3) {
        const std::string_view name = text.substr(i, 2);
        const char letter = name.empty() ? 0 : UpperAscii(name[0]);
        if (name.size() != 2 || name[1] != ':' || letter < 'A' || letter > 'Z' ||
            (i + 2 < text.size() && text[i + 2] != ',') || (i + 2 == text.size() - 1)) {
            error = "--drives takes drive names such as C: or C:,D: (got \"" + std::string(text) + "\")";
            return {};
        }
        if (system.driveType(letter) != DRIVE_FIXED) {
            error = std::string(1, letter) + ": is not a fixed drive of this machine";
            return {};
        }
        if (seen.find(letter) != std::string::npos) {
            error = std::string(1, letter) + ": is named twice in --drives";
            return {};
        }
        seen += letter;
        if (!out.empty()) out += ',';
        out += letter;
        out += ':';
        if (i + 2 >= text.size()) break;
    }
    return out;
}

// The fixed drives, for the usage message: "C:, D:".
std::string fixedDrives(System& system) {
    std::string list;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (system.driveType(letter) != DRIVE_FIXED) continue;
        if (!list.empty()) list += ", ";
        list += letter;
        list += ':';
    }
    return list.empty() ? "none" : list;
}

// The drives the main window would have selected: the stored "DriveName" when it is
// one of the drive list's entries, else the first entry.
std::string defaultDrives(Services& services, RegistryAccess& registry) {
    const std::vector<std::string> entries = FillDriveList(services.system);
    std::string name;
    if (HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey)) {
        name = registry.QueryValue(key, "DriveName");
        registry.CloseKey(key);
    }
    for (const std::string& entry : entries)
        if (!name.empty() && entry == name) return CurrentDrives(entry);
    return entries.empty() ? std::string() : CurrentDrives(entries.front());
}

}  // namespace

int cmdUpdate(Context& context, const std::vector<std::string>& args) {
    Services& services = context.services;
    std::string option;
    bool given = false;
    if (!parseOptions(args, option, given)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string drives;
    if (given) {
        std::string error;
        drives = checkedDrives(services.system, option, error);
        if (drives.empty()) {
            std::fprintf(stderr, "korvex-cli update: %s (fixed drives: %s)\n%s", error.c_str(),
                         fixedDrives(services.system).c_str(), kUsage);
            return 2;
        }
    } else {
        RegistryAccess registry(services.registry, context.prompt);
        drives = defaultDrives(services, registry);
        if (drives.empty()) {
            std::fputs("korvex-cli update: the machine has no fixed drive to scan\n", stderr);
            return 1;
        }
    }

    bool stop = false;
    scandb::UpdateOutcome outcome;
    {
        InterruptGuard guard;
        InterruptiblePrompt prompt(context.prompt, stop);
        scandb::UpdateRequest request;
        request.dataFolder = context.dataFolder;
        request.drives = drives;
        outcome = scandb::UpdateDatabase(services, prompt, request, stop);
    }
    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
    if (outcome != scandb::UpdateOutcome::Completed) {
        std::fputs("korvex-cli update: stopped; the scan database files not yet replaced are unchanged\n", stderr);
        return 1;
    }
    std::printf("The scan database has been updated (%s)\n", drives.c_str());
    return 0;
}

}  // namespace korvex::cli
