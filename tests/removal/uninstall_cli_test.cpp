// korvex-cli uninstall from end to end on a machine made by korvex-cli init: a
// hand-made installation (a folder of files under Program Files, a library in the
// system folder that SharedDLLs already counts for two other programs, keys in both
// hives, win.ini lines) is found, saved and uninstalled, and the machine's files,
// registry keys and values and win.ini are as they were before it; a path through a
// link out of the machine is refused.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace korvex {
namespace {

using test::ShellQuote;

void append(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::app);
    out << text;
}

class UninstallCli : public ::testing::Test {
protected:
    test::CommandResult cli(const std::string& args) {
        return test::RunCommand("XDG_DATA_HOME=" + ShellQuote(dir_ / "data") + " " + ShellQuote(KORVEX_CLI) +
                                    " --machine " + ShellQuote(machine_.string()) + " " + args, dir_);
    }
    // The machine as the test compares it: every path below drive_c except Korvex's own
    // folder (its scan database and backups), both registry files without the times Wine
    // stamps on keys and without Korvex's own settings (saving and uninstalling update
    // them), and win.ini.
    std::string machineState() {
        const test::CommandResult state = test::RunCommand(
            "(cd " + ShellQuote(machine_.string()) +
                " && find drive_c -path 'drive_c/Program Files/Korvex' -prune -o -print | LC_ALL=C sort"
                R"( && awk '/^#time=/ {next}
                            /^\[/ {skip = index($0, "[Software\\\\Korvex!") == 1; sub(/\] .*/, "]")}
                            !skip')"
                " system.reg user.reg && cat drive_c/windows/win.ini)",
            dir_);
        EXPECT_EQ(state.status, 0) << state.err;
        return state.out;
    }
    test::TempHostFolder temp_{"korvex-uninstall"};
    fs::path dir_ = temp_.path(), machine_ = dir_ / "machine", driveC = machine_ / "drive_c";
};

TEST_F(UninstallCli, AHandMadeInstallationGoesWithoutATraceAndALinkOutIsRefused) {
    ASSERT_EQ(cli("init").status, 0);
    // Two other programs already count the library.
    append(machine_ / "system.reg",
           "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\SharedDLLs] 1700000000\n"
           "\"C:\\\\windows\\\\system32\\\\newapp.dll\"=dword:00000002\n");
    ASSERT_EQ(cli("update").status, 0);

    const std::string before = machineState();

    append(driveC / "Program Files" / "NewApp" / "newapp.exe", "MZ program");
    append(driveC / "Program Files" / "NewApp" / "data" / "levels.bin", std::string(5000, 'x'));
    append(driveC / "windows" / "system32" / "newapp.dll", "MZ library");
    append(machine_ / "system.reg", "\n[Software\\\\NewVendor\\\\NewApp] 1700000000\n\"Path\"=\"C:\\\\NewApp\"\n");
    append(machine_ / "user.reg", "\n[Software\\\\NewVendor\\\\NewApp\\\\Settings] 1700000000\n\"Level\"=dword:00000003\n");
    append(driveC / "windows" / "win.ini", "[NewApp]\r\nload=newapp.exe\r\n");

    test::CommandResult find = cli("find --save 'C:\\users\\newapp.kvu'");
    ASSERT_EQ(find.status, 0) << find.err;

    test::CommandResult dry = cli("uninstall " + ShellQuote((driveC / "users" / "newapp.kvu").string()) + " --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("remove   C:\\Program Files\\NewApp\\  (folder, 5010 bytes)"), std::string::npos) << dry.out;

    test::CommandResult run = cli("--yes uninstall 'C:\\users\\newapp.kvu'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("DLL file in use: The DLL file C:\\windows\\system32\\newapp.dll may be in use by other "
                           "applications. Delete it? Delete"), std::string::npos) << run.err;

    EXPECT_EQ(machineState(), before);
    // The files went to the Trash.
    EXPECT_TRUE(fs::exists(dir_ / "data" / "Trash" / "files" / "NewApp"));

    // A saved file naming a path through a link out of the machine: the dry run lists it
    // as refused, and neither run touches the link's target.
    append(dir_ / "outside" / "keep.txt", "keep");
    fs::create_directory_symlink(dir_ / "outside", driveC / "linked");
    append(driveC / "users" / "evil.kvu", "Files{\r\nC:\\linked\\keep.txt\r\n}\r\nRegistry{\r\n}\r\n");

    test::CommandResult evil = cli("uninstall 'C:\\users\\evil.kvu' --dry-run");
    EXPECT_NE(evil.out.find("refused  C:\\linked\\keep.txt"), std::string::npos) << evil.out;
    EXPECT_EQ(cli("--yes uninstall 'C:\\users\\evil.kvu'").status, 1);
    EXPECT_EQ(test::ReadHostFile(dir_ / "outside" / "keep.txt"), "keep");
}

}  // namespace
}  // namespace korvex
