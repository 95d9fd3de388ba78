// korvex-cli find when the profile's Desktop is Wine's link into the user's home: a
// shortcut put there after an update is found, on a machine linked by hand and on a
// prefix made by Wine itself (when Wine is installed) with a Windows program's copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_output.h"
#include "platform/wine/host_launch.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace korvex {
namespace {

using test::FoundFiles;
using test::ShellQuote;

class LinkedDesktop : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(home_ / "Desktop"); }

    // Runs a shell command line with this test's home, machine and a quiet Wine.
    test::CommandResult run(const std::string& command) {
        return test::RunCommand("env -u KORVEX_MACHINE -u DISPLAY HOME=" + ShellQuote(home_.string()) +
                                    " WINEPREFIX=" + ShellQuote(machine_.string()) +
                                    " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= sh -c " + ShellQuote(command),
                                dir_);
    }
    test::CommandResult cli(const std::string& args) {
        return run(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine_.string()) + " " + args);
    }
    fs::path profile() {
        for (const auto& entry : fs::directory_iterator(machine_ / "drive_c" / "users"))
            if (entry.path().filename() != "Public") return entry.path();
        return {};
    }

    test::TempHostFolder temp_{"korvex-linked-cli"};
    fs::path dir_ = temp_.path(), home_ = dir_ / "home", machine_ = dir_ / "machine";
};

TEST_F(LinkedDesktop, ShortcutAddedThereIsFoundAndNothingElse) {
    ASSERT_EQ(cli("init").status, 0);
    const fs::path user = profile();
    ASSERT_FALSE(user.empty());
    for (const char* name : {"Desktop", "Documents"}) fs::remove_all(user / name);
    fs::create_directory_symlink(home_ / "Desktop", user / "Desktop");
    fs::create_directory_symlink(home_, user / "Documents");
    test::WriteHostFile(home_ / "Desktop" / "Old.lnk", "x");
    // A loop and a link to the home inside the Desktop: the walk still ends.
    fs::create_directory_symlink(".", home_ / "Desktop" / "loop");
    fs::create_directory_symlink(home_, home_ / "Desktop" / "home");
    const test::CommandResult update = cli("update --drives C:");
    ASSERT_EQ(update.status, 0) << update.err;

    test::WriteHostFile(home_ / "Desktop" / "Beta Viewer.lnk", "x");
    // In the home but in none of its shell folders' entries: a dot folder, a sub folder.
    test::WriteHostFile(home_ / ".cache" / "thumbnail.png", "x");
    test::WriteHostFile(home_ / "Projects" / "new.txt", "x");
    const test::CommandResult found = cli("find --drives C:");
    ASSERT_EQ(found.status, 0) << found.err;
    const std::string desktop = "C:\\users\\" + user.filename().string() + "\\Desktop\\";
    EXPECT_EQ(FoundFiles(found.out), (std::vector<std::string>{desktop + "Beta Viewer.lnk  (0KB)"})) << found.out;
}

TEST_F(LinkedDesktop, ShortcutCopiedByAWindowsProgramIntoARealPrefix) {
    if (wine::FindOnPath("wineboot").empty() || wine::FindOnPath("wine").empty())
        GTEST_SKIP() << "Wine is not installed";
    // Wine links the profile's Desktop to ~/Desktop because it exists now.
    test::CommandResult boot = run("wineboot --init && wineserver -w");
    ASSERT_EQ(boot.status, 0) << boot.err;
    ASSERT_TRUE(fs::is_symlink(profile() / "Desktop"));
    const test::CommandResult update = cli("update --drives C:");
    ASSERT_EQ(update.status, 0) << update.err;

    const std::string desktop = "C:\\users\\" + profile().filename().string() + "\\Desktop\\";
    const test::CommandResult copy =
        run("wine cmd /c copy 'C:\\windows\\win.ini' " + ShellQuote(desktop + "Beta Viewer.lnk") + " && wineserver -w");
    ASSERT_EQ(copy.status, 0) << copy.err;
    ASSERT_TRUE(fs::exists(home_ / "Desktop" / "Beta Viewer.lnk"));
    const test::CommandResult found = cli("find --drives C:");
    ASSERT_EQ(found.status, 0) << found.err;
    bool listed = false;
    for (const std::string& file : FoundFiles(found.out)) listed |= file.rfind(desktop + "Beta Viewer.lnk  (", 0) == 0;
    EXPECT_TRUE(listed) << found.out;
    run("wineserver -k");
}

}  // namespace
}  // namespace korvex
