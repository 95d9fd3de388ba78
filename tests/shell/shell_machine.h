// A real machine on the host for the removal layer's tests: a prefix made by the
// builder, a D: drive mapped to a games folder outside it, Z: as the host's root, the
// profile's Documents and Desktop linked into a home folder of the test's own, and
// files outside the machine that nothing may touch. HOME and XDG_DATA_HOME point into
// the test's folder, so the user's real Trash is never used. Beside it, what the tests
// on real machines share: runs of Wine's own programs, and the messages shown and
// items refused as text to compare.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/fake/scripted_prompt.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"
#include "tests/support/scoped_env.h"

namespace korvex::wine::test {

namespace fs = std::filesystem;
using korvex::test::ReadHostFile;
using korvex::test::WriteHostFile;

struct ShellMachine {
    korvex::test::TempHostFolder folder{"korvex-shell"};
    const std::string root = folder.path(), prefix = root + "/prefix", home = root + "/home",
                      games = root + "/games", outside = root + "/outside", trash = root + "/xdg/Trash";
    korvex::test::ScopedEnv homeEnv{"HOME", home}, dataEnv{"XDG_DATA_HOME", root + "/xdg"};
    std::string user = MachineUserName();
    std::unique_ptr<WineMachine> machine;
    ScriptedPrompt prompt;

    ShellMachine() {
        std::string error;
        if (!CreateMachine(prefix, WindowsVersion::Win7, &error)) throw std::runtime_error(error);
        fs::create_directories(home + "/Documents");
        fs::create_directories(games);
        WriteHostFile(outside + "/secret.txt", "keep me");
        WriteHostFile(outside + "/folder/inner.txt", "keep me too");
        WriteHostFile(home + "/private.txt", "mine");
        const std::string profile = c("users/" + user);
        for (const char* folder : {"/Documents", "/Desktop"}) fs::remove_all(profile + folder);
        fs::create_symlink(home + "/Documents", profile + "/Documents");
        fs::create_symlink(home, profile + "/Desktop");  // Wine's fallback when there is no Desktop folder
        fs::create_symlink(games, prefix + "/dosdevices/d:");
        fs::create_symlink("/", prefix + "/dosdevices/z:");
        reopen();
    }

    void reopen() {
        std::string error;
        machine = WineMachine::open(prefix, &error);
        if (!machine) throw std::runtime_error(error);
    }

    WineShell& shell() { return machine->shell(); }
    std::string c(const std::string& relative) const { return prefix + "/drive_c/" + relative; }
    std::string profileWindows() const { return "C:\\users\\" + user; }

    // An installation whose folder holds links out of the machine and a link loop:
    // C:\Program Files\App with files, a sub folder, links to outside files and
    // folders, to a linked shell folder, and a link to its own folder.
    void makeInstallation() {
        const std::string app = c("Program Files/App");
        WriteHostFile(app + "/app.exe", "exe");
        WriteHostFile(app + "/data/deep/file.dat", std::string(5000, 'd'));
        fs::create_symlink(outside + "/secret.txt", app + "/secret-link.txt");
        fs::create_symlink(outside + "/folder", app + "/folder-link");
        fs::create_symlink(home, app + "/data/home-link");
        fs::create_symlink("..", app + "/data/loop");
        fs::create_symlink(app, app + "/data/deep/self");
    }
    // Everything the installation's links point to is as it was.
    bool outsideIntact() const {
        return ReadHostFile(outside + "/secret.txt") == "keep me" && ReadHostFile(outside + "/folder/inner.txt") == "keep me too" &&
               ReadHostFile(home + "/private.txt") == "mine" && fs::is_directory(home + "/Documents");
    }
};

inline constexpr std::uint16_t kQuiet = FOF_NOCONFIRMATION | FOF_NOERRORUI;

// One shell file operation on the machine, answered by its scripted prompt.
inline int run(ShellMachine& m, unsigned func, std::vector<std::string> from, std::uint16_t flags,
               std::string to = "") {
    FileOperation op{.wFunc = func, .from = std::move(from), .to = std::move(to), .fFlags = flags};
    return m.shell().fileOperation(op, m.prompt);
}

// Runs a Wine program on a prefix, quietly and with HOME beside the prefix, then waits
// for the prefix's wineserver to end; the status of that wait.
inline int RunWine(const std::string& prefix, const std::string& command, int seconds = 300) {
    const std::string env = "env WINEPREFIX=" + korvex::test::ShellQuote(prefix) +
                            " HOME=" + korvex::test::ShellQuote(fs::path(prefix).parent_path().string()) +
                            " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY= ";
    return korvex::test::RunShell("timeout " + std::to_string(seconds) + " " + env + command + " >/dev/null 2>&1; " +
                                  env + "timeout 120 wineserver -w");
}

// A prefix made by Wine's own wineboot; false when Wine is not installed or fails.
inline bool MakeWinebootPrefix(const std::string& prefix) {
    const std::string wine = "{ command -v wine && command -v wineboot && command -v wineserver; } >/dev/null";
    return korvex::test::RunShell(wine) == 0 && RunWine(prefix, "wineboot --init", 600) == 0 &&
           fs::exists(prefix + "/system.reg");
}

// What the user was shown, one "title: text" line per message.
inline std::string shown(const std::vector<Message>& messages) {
    std::string out;
    for (const Message& m : messages) out += m.title + ": " + m.text + "\n";
    return out;
}

// The items the shell refused since it was last asked, one "path: reason" line each.
inline std::string refusals(Shell& shell) {
    std::string out;
    for (const Refusal& r : shell.takeRefusals()) out += r.path + ": " + r.reason + "\n";
    return out;
}

// Whether anything, a dangling link included, stands at a host path.
inline bool present(const std::string& host) {
    struct stat st {};
    return ::lstat(host.c_str(), &st) == 0;
}

}  // namespace korvex::wine::test
