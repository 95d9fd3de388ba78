// Korvex!.exe, the program the ".kvu" file type names: placed in the program folder by
// Korvex's first start, and, run as Wine runs it, starting the korvex found on PATH
// (here a stand-in that records its arguments) on the machine it lies in. The last
// test runs where Wine is installed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/wine/machine_builder.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace korvex::test {
namespace {

namespace fs = std::filesystem;

// A korvex that writes each argument on a line of its own into record.
void WriteStandIn(const std::string& bin, const std::string& record) {
    WriteHostFile(bin + "/korvex", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                                       ShellQuote(record + ".part") + "\nmv " + ShellQuote(record + ".part") + " " +
                                       ShellQuote(record) + "\n");
    fs::permissions(bin + "/korvex", fs::perms::owner_all);
}

TEST(Launcher, StartsKorvexOnItsMachineWithItsArguments) {
    TempHostFolder temp("korvex-launcher");
    const std::string machine = temp / "prefix";
    const std::string launcher = machine + "/drive_c/Program Files/Korvex/Korvex!.exe";
    ASSERT_TRUE(wine::CreateMachine(machine, wine::WindowsVersion::Win10));
    ASSERT_EQ(RunCommand(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine) + " info", temp.path()).status, 0);
    const std::string bin = temp / "bin", record = temp / "args";
    WriteStandIn(bin, record);

    // The arguments, and what korvex is handed after "--machine" and the machine.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"C:\\My Files\\Two words.kvu"}, "\"C:\\My Files\\Two words.kvu\"\n"},
        {{"\"C:\\quoted.kvu\""}, "\"C:\\quoted.kvu\"\n"},
        {{"\\u"}, "\\u\n"},
    };
    for (const auto& [args, handed] : cases) {
        fs::remove(record);
        std::string command = "PATH=" + ShellQuote(bin) + ":/usr/bin:/bin " + ShellQuote(launcher);
        for (const std::string& a : args) command += " " + ShellQuote(a);
        const auto run = RunCommand(command, temp.path());
        EXPECT_EQ(run.status, 0) << command << "\n" << run.err;
        EXPECT_EQ(ReadHostFile(record), "--machine\n" + machine + "\n" + handed) << command;
    }

    // Without korvex it ends quietly, with the status of a program that is not there.
    const auto missing = RunCommand("PATH=/usr/bin:/bin " + ShellQuote(launcher) + " 'C:\\a.kvu'", temp.path());
    EXPECT_EQ(missing.status, 127);
    EXPECT_EQ(missing.out + missing.err, "");
}

// korvex-cli on a prefix made by Wine itself, one boot for both ways Korvex meets Wine:
// the profile's Desktop is Wine's link into the user's home, and a shortcut a Windows
// program copies there after an update is found (how the walk treats linked folders is
// real_disk_test's); then Wine opens a saved file through the file type Korvex's first
// start registered, or cmd starts Korvex!.exe, and korvex gets the quoted path.
TEST(Launcher, FindAndOpenASavedFileInARealWinePrefix) {
    if (RunCommand("command -v wine && command -v wineboot && command -v wineserver", fs::temp_directory_path()).status != 0)
        GTEST_SKIP() << "Wine is not installed";
    TempHostFolder temp("korvex-wine-launch");
    const std::string prefix = temp / "prefix", bin = temp / "bin", record = temp / "args", home = temp / "home";
    WriteStandIn(bin, record);
    fs::create_directories(home + "/Desktop");  // Wine links the profile's Desktop to it because it exists
    auto run = [&](const std::string& command) {
        return RunCommand("env -u KORVEX_MACHINE -u DISPLAY HOME=" + ShellQuote(home) + " WINEPREFIX=" +
                              ShellQuote(prefix) + " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= PATH=" +
                              ShellQuote(bin) + ":/usr/bin:/bin sh -c " + ShellQuote(command),
                          temp.path());
    };
    const std::string cli = ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(prefix) + " ";
    ASSERT_EQ(run("wineboot --init && wineserver -w").status, 0);
    std::string profile;
    for (const auto& entry : fs::directory_iterator(prefix + "/drive_c/users"))
        if (entry.path().filename() != "Public") profile = entry.path().filename();
    ASSERT_TRUE(fs::is_symlink(prefix + "/drive_c/users/" + profile + "/Desktop"));
    const CommandResult update = run(cli + "update --drives C:");
    ASSERT_EQ(update.status, 0) << update.err;

    const std::string desktop = "C:\\users\\" + profile + "\\Desktop\\";
    const CommandResult copy =
        run("wine cmd /c copy 'C:\\windows\\win.ini' " + ShellQuote(desktop + "Beta Viewer.lnk") + " && wineserver -w");
    ASSERT_EQ(copy.status, 0) << copy.out << copy.err;
    const CommandResult found = run(cli + "find --drives C:");
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_NE(found.out.find("\n  " + desktop + "Beta Viewer.lnk  ("), std::string::npos) << found.out;

    WriteHostFile(prefix + "/drive_c/users/Saved App.kvu", "Files{\r\n}\r\n");
    // cmd takes a command line that starts with a quote apart; a batch file hands the
    // launcher its quoted path exactly as typed.
    WriteHostFile(prefix + "/drive_c/users/open.bat",
                  "@\"C:\\Program Files\\Korvex\\Korvex!.exe\" \"C:\\users\\Saved App.kvu\"\r\n");
    const std::pair<const char*, const char*> opens[] = {
        {"wine start 'C:\\users\\Saved App.kvu'", "C:\\users\\Saved App.kvu"},
        {"wine cmd /c 'C:\\Program Files\\Korvex\\Korvex!.exe' 'C:\\users\\Saved.kvu'", "C:\\users\\Saved.kvu"},
        {"wine cmd /c 'C:\\users\\open.bat'", "C:\\users\\Saved App.kvu"},
    };
    for (const auto& [command, file] : opens) {
        fs::remove(record);
        const CommandResult started = run(command);
        EXPECT_EQ(started.status, 0) << command << "\n" << started.err;
        // Wine starts the launcher without waiting for it.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists(record) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(ReadHostFile(record), "--machine\n" + prefix + "\n\"" + file + "\"\n") << command;
    }
    run("wineserver -k; wineserver -w");
}

}  // namespace
}  // namespace korvex::test
