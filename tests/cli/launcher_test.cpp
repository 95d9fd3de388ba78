// Korvex!.exe, the program the ".kvu" file type names: placed in the program folder
// once and marked executable, and, run as Wine runs it, starting the korvex found on
// PATH (here a stand-in that records its arguments) on the machine it lies in. The
// last test opens a saved file in a real Wine prefix and runs where Wine is installed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "settings/support_files.h"
#include "tests/support/host_files.h"
#include "tests/support/memory_machine.h"
#include "tests/support/run_command.h"

namespace korvex::test {
namespace {

namespace fs = std::filesystem;

const char* const kLauncher = "C:\\Program Files\\Korvex\\Korvex!.exe";

// A korvex that writes each argument on a line of its own into record.
void WriteStandIn(const std::string& bin, const std::string& record) {
    WriteHostFile(bin + "/korvex", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                                       ShellQuote(record + ".part") + "\nmv " + ShellQuote(record + ".part") + " " +
                                       ShellQuote(record) + "\n");
    fs::permissions(bin + "/korvex", fs::perms::owner_all);
}

// Waits up to the deadline for a file that another process writes.
std::string WaitFor(const std::string& path, std::chrono::seconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!fs::exists(path) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return ReadHostFile(path);
}

TEST(Launcher, PlacedOnceAndExecutable) {
    const std::string own = "#!/bin/sh\nexec my-korvex \"$@\"\n";
    for (bool usersOwn : {false, true}) {
        MemoryMachine m;
        m.files.createFolder("C:\\Program Files\\Korvex");
        if (usersOwn) m.files.put(kLauncher, own);
        PlaceSupportFiles(m.services);
        // A launcher of the user's own stays as it is.
        EXPECT_EQ(m.files.contents(kLauncher), usersOwn ? own : ProgramLauncher());
        EXPECT_EQ(m.files.isExecutable(kLauncher), !usersOwn);
    }
    EXPECT_EQ(ProgramLauncher().rfind("#!/bin/sh\n", 0), 0u);
    EXPECT_EQ(ProgramLauncher().find('\r'), std::string::npos);
}

TEST(Launcher, StartsKorvexOnItsMachineWithItsArguments) {
    TempHostFolder temp("korvex-launcher");
    const std::string machine = temp / "prefix";
    const std::string launcher = machine + "/drive_c/Program Files/Korvex/Korvex!.exe";
    WriteHostFile(machine + "/system.reg", "WINE REGISTRY Version 2\n");
    WriteHostFile(launcher, ProgramLauncher());
    fs::permissions(launcher, fs::perms::owner_all);
    const std::string bin = temp / "bin", record = temp / "args";
    WriteStandIn(bin, record);

    // The arguments, and what korvex is handed after "--machine" and the machine.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"C:\\My Files\\Two words.kvu"}, "\"C:\\My Files\\Two words.kvu\"\n"},
        {{"\"C:\\quoted.kvu\""}, "\"C:\\quoted.kvu\"\n"},
        {{"\\u"}, "\\u\n"},
        {{}, ""},
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

TEST(Launcher, OpensASavedFileInARealWinePrefix) {
    if (RunCommand("command -v wine && command -v wineboot && command -v wineserver", fs::temp_directory_path()).status != 0)
        GTEST_SKIP() << "Wine is not installed";
    TempHostFolder temp("korvex-wine-launch");
    const std::string prefix = temp / "prefix", bin = temp / "bin", record = temp / "args";
    WriteStandIn(bin, record);
    const std::string env = "env WINEPREFIX=" + ShellQuote(prefix) + " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= " +
                            "PATH=" + ShellQuote(bin) + ":/usr/bin:/bin ";
    ASSERT_EQ(RunCommand(env + "wineboot --init && " + env + "wineserver -w", temp.path()).status, 0);
    // Korvex's first start on the machine registers the file type and places the launcher.
    const auto info = RunCommand(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(prefix) + " info", temp.path());
    ASSERT_EQ(info.status, 0) << info.err;
    WriteHostFile(prefix + "/drive_c/users/Saved App.kvu", "Files{\r\n}\r\n");
    // Wine opens the file through the registered file type: korvex gets the quoted path.
    const auto run = RunCommand(env + "wine start 'C:\\users\\Saved App.kvu'", temp.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WaitFor(record, std::chrono::seconds(60)), "--machine\n" + prefix + "\n\"C:\\users\\Saved App.kvu\"\n");
    RunCommand(env + "wineserver -k", temp.path());
    RunCommand(env + "wineserver -w", temp.path());
}

}  // namespace
}  // namespace korvex::test
