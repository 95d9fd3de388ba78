// The clean-up on a real machine folder (the built-in machine of korvex-cli): junk
// planted in several folders is listed exactly with the window's totals, and the
// Recycle Bin step empties only the Trash entries that came from this machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cleanup/temp_folders.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"
#include "tests/support/scoped_env.h"

namespace fs = std::filesystem;

namespace korvex::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Every file below folder (links included, not followed), relative, sorted; the
// registry files are left out (each run of korvex-cli may save them).
std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) continue;
        const std::string relative = fs::relative(it->path(), folder).string();
        if (relative.find("dosdevices") == 0 ||
            (relative.size() > 4 && relative.substr(relative.size() - 4) == ".reg"))
            continue;
        out.push_back(relative);
    }
    std::sort(out.begin(), out.end());
    return out;
}

class CleanMachineFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ / "home");
        ASSERT_TRUE(wine::CreateMachine(machine_, wine::WindowsVersion::Win10));
    }

    CommandResult cli(const std::vector<std::string>& args) {
        std::string command = "env -u KORVEX_MACHINE -u WINEPREFIX HOME=" + ShellQuote((root_ / "home").string()) +
                              " XDG_DATA_HOME=" + ShellQuote(xdg_) + " " + ShellQuote(KORVEX_CLI) + " --machine " +
                              ShellQuote(machine_);
        for (const auto& a : args) command += " " + ShellQuote(a);
        return RunCommand(command, root_);
    }

    void plant(const std::string& relative, std::size_t bytes, bool yesterday = false) {
        const fs::path path = fs::path(machine_) / "drive_c" / relative;
        WriteHostFile(path, std::string(bytes, 'j'));
        if (yesterday) fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(30));
    }

    TempHostFolder temp_{"korvex-clean-test"};
    fs::path root_ = temp_.path();
    std::string machine_ = (root_ / "machine").string();
    std::string xdg_ = (root_ / "xdg").string();
};

TEST_F(CleanMachineFolder, PlantedJunkIsListedExactlyWithTheWindowsTotals) {
    plant("Games/X/save.bak", 1500);
    plant("Games/X/old.tmp", 10, true);
    plant("Games/X/new.tmp", 10);
    plant("Games/X/Logs/error.log", 3000);
    plant("Games/X/Logs/install.log", 10);
    plant("Games/X/data.bak", 10);
    plant("Apps/Tool/readme.txt", 10);
    plant("Apps/Tool/page.~mp", 700);
    plant("Apps/Tool/Recycled/gone.bak", 10);
    plant("users/Public/Documents/report.old", 2 * 1024 * 1024 + 5);

    const CommandResult run = cli({"clean", "--drives", "C:"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 7u) << run.out;
    EXPECT_EQ(lines[5], "Total files:5");
    EXPECT_EQ(lines[6], "Total size:2MB");
    lines.resize(5);
    std::sort(lines.begin(), lines.end());  // the host lists folders in its own order
    EXPECT_EQ(lines, (std::vector<std::string>{"C:\\Apps\\Tool\\page.~mp\t1KB", "C:\\Games\\X\\Logs\\error.log\t2KB",
                                               "C:\\Games\\X\\old.tmp\t0KB", "C:\\Games\\X\\save.bak\t1KB",
                                               "C:\\users\\Public\\Documents\\report.old\t2MB"}));

    const CommandResult usage = cli({"clean", "--delete", "--move", "/tmp"});
    EXPECT_EQ(usage.status, 2);

    // --delete: nothing unasked; with --yes exactly the listed files, into the Trash
    // (the default delete mode), and nothing else.
    const std::vector<std::string> before = Files(machine_);
    const CommandResult unasked = cli({"clean", "--delete"});
    EXPECT_EQ(unasked.status, 1);
    EXPECT_EQ(Files(machine_), before);
    const CommandResult removed = cli({"--yes", "clean", "--delete"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_NE(removed.out.find("Removed 5 of 5 files"), std::string::npos) << removed.out;
    std::vector<std::string> expected = before;
    for (const char* gone : {"drive_c/Apps/Tool/page.~mp", "drive_c/Games/X/Logs/error.log", "drive_c/Games/X/old.tmp",
                             "drive_c/Games/X/save.bak", "drive_c/users/Public/Documents/report.old"})
        expected.erase(std::remove(expected.begin(), expected.end(), std::string(gone)), expected.end());
    EXPECT_EQ(expected.size(), before.size() - 5);
    EXPECT_EQ(Files(machine_), expected);
    EXPECT_EQ(Files(xdg_ + "/Trash/files"),
              (std::vector<std::string>{"error.log", "old.tmp", "page.~mp", "report.old", "save.bak"}));
}

TEST_F(CleanMachineFolder, RecycleBinStepEmptiesOnlyThisMachinesEntries) {
    const std::string trash = xdg_ + "/Trash";
    const std::string inside = fs::canonical(machine_).string() + "/drive_c/old.txt";
    const std::string outside = (root_ / "elsewhere.txt").string();
    WriteHostFile(trash + "/files/old.txt", std::string(1000, 'm'));
    WriteHostFile(trash + "/info/old.txt.trashinfo",
                  "[Trash Info]\nPath=" + inside + "\nDeletionDate=2026-01-01T10:00:00\n");
    WriteHostFile(trash + "/files/elsewhere.txt", "someone else's");
    WriteHostFile(trash + "/info/elsewhere.txt.trashinfo",
                  "[Trash Info]\nPath=" + outside + "\nDeletionDate=2026-01-01T10:00:00\n");
    ScopedEnv home("XDG_DATA_HOME", xdg_);
    std::unique_ptr<wine::WineMachine> m = wine::WineMachine::open(machine_);
    ASSERT_TRUE(m);

    for (Answer answer : {Answer::No, Answer::Yes}) {
        ScriptedPrompt prompt;
        prompt.answers = {answer};
        EXPECT_EQ(cleanup::EmptyRecycleBinOfMachine(m->shell(), prompt, '.'), answer == Answer::Yes);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_NE(prompt.messages[0].text.find("holds 1 item from this machine, taking 1KB"), std::string::npos)
            << prompt.messages[0].text;
        EXPECT_EQ(fs::exists(trash + "/files/old.txt"), answer == Answer::No);
        EXPECT_EQ(fs::exists(trash + "/info/old.txt.trashinfo"), answer == Answer::No);
        EXPECT_TRUE(fs::exists(trash + "/files/elsewhere.txt"));
        EXPECT_TRUE(fs::exists(trash + "/info/elsewhere.txt.trashinfo"));
    }
}

}  // namespace
}  // namespace korvex::test
