// korvex-cli find when the profile's Desktop is Wine's link into the user's home, on a
// prefix made by Wine itself (when Wine is installed): a shortcut a Windows program
// copies there after an update is found. How the walk treats linked profile folders
// (walked once, loops and links to $HOME not followed) is checked in
// tests/scandb/real_disk_test.cpp; how the links are read from the machine's registry,
// in tests/platform/machine_test.cpp.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/wine/host_launch.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace korvex {
namespace {

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
    EXPECT_NE(found.out.find("\n  " + desktop + "Beta Viewer.lnk  ("), std::string::npos) << found.out;
    run("wineserver -k");
}

}  // namespace
}  // namespace korvex
