// korvex-cli as a user runs it: the built program on machines in temporary folders,
// its exit statuses, what it prints where, and what it leaves on the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine/wineserver.h"
#include "tests/cli/cli_run.h"
#include "tests/support/fake_wineserver.h"

namespace korvex::test {
namespace {

using Cli = CliRun;

TEST_F(Cli, HelpAndUsageErrors) {
    const CommandResult help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: korvex-cli [--machine DIR] [--yes] COMMAND", 0), 0u) << help.out;
    EXPECT_TRUE(Contains(help.out, "Exit status: 0 success, 1 failure or refusal, 2 usage error")) << help.out;
    EXPECT_EQ(run({"help"}).out, help.out);
    EXPECT_EQ(run({"info", "--help"}).out, help.out);

    // Usage errors: status 2, nothing on standard output, and nothing made.
    const std::string m = machine("m");
    const std::pair<std::vector<std::string>, const char*> usage[] = {
        {{}, "Usage: korvex-cli"},
        {{"bogus"}, "unknown command 'bogus'"},
        {{"--frobnicate", "info"}, "unknown option '--frobnicate'"},
        {{"info", "--machine"}, "--machine needs a folder"},
        {{"--machine", m, "init", "--windows-version", "win95"}, "unknown Windows version 'win95'"},
        {{"--machine", m, "init", "extra"}, "unexpected argument 'extra'"},
    };
    for (const auto& [args, err] : usage) {
        const CommandResult r = run(args);
        EXPECT_EQ(r.status, 2) << err;
        EXPECT_EQ(r.out, "") << err;
        EXPECT_TRUE(Contains(r.err, err)) << r.err;
    }
    EXPECT_FALSE(fs::exists(m)) << "a usage error makes nothing";
}

// Without --machine, KORVEX_MACHINE names the machine (where else it is looked for is
// the locator's own test). A second init leaves the machine as it is.
TEST_F(Cli, InitThenInfo) {
    const std::string old = machine("w98"), named = "KORVEX_MACHINE=" + ShellQuote(old);
    const CommandResult made = run({"init", "--windows-version=win98"}, named);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "Made a win98 machine in " + old + "\n");
    EXPECT_EQ(onMachine({"init", "--windows-version", "win10"}, old).out,
              old + " is already a machine; it was left as it is.\n");
    // Still a Windows 98 machine: the other family, and no History folder.
    const CommandResult info98 = run({"info"}, named);
    ASSERT_EQ(info98.status, 0) << info98.err;
    EXPECT_TRUE(Contains(info98.out, "(Windows 95 family)") && Contains(info98.out, "History folder:        (none)\n"))
        << info98.out;

    ASSERT_EQ(onMachine({"init"}).status, 0);
    const CommandResult info = onMachine({"info"});
    ASSERT_EQ(info.status, 0) << info.err;
    for (const std::string& part : std::vector<std::string>{
             "Machine:               " + machine_ + "\n", "(NT family)", "  C:  fixed disk", "This drive has not been scanned.",
             "Windows folder:        C:\\windows\\\n", "Program folder:        C:\\Program Files\\Korvex\n",
             "Data folder:           C:\\Program Files\\Korvex\\\n"})
        EXPECT_TRUE(Contains(info.out, part)) << part << "\n" << info.out;
    EXPECT_EQ(info.err, "");
}

// A folder with other things in it is not a machine (init's refusal to take it over is
// the machine builder's test); a data folder that cannot hold the built-in machine, and
// a scan database that cannot be written, are named with the host's reason (the
// update's own tests check the rest of its message).
TEST_F(Cli, FailuresExitWithOneAndSayWhy) {
    ASSERT_EQ(onMachine({"init"}).status, 0);
    fs::create_directories(driveC() / "Program Files" / "Korvex" / "Cdbase.kvd");  // a folder where the file goes
    const std::string other = machine("documents"), dataFile = machine("data-file");
    WriteHostFile(fs::path(other) / "letter.txt", "dear");
    WriteHostFile(dataFile, "not a folder");
    const std::pair<CommandResult, std::string> failures[] = {
        {onMachine({"info"}, other), "init"},
        {run({"info"}, "XDG_DATA_HOME=" + ShellQuote(dataFile)),
         "cannot create the folder " + dataFile + " (Not a directory)"},
        {onMachine({"update"}), "Machine: " + machine_ + "\nError updating database: Korvex could not write "
                                "C:\\Program Files\\Korvex\\Cdbase.kvd (Is a directory)"},
    };
    for (const auto& [r, why] : failures) {
        EXPECT_EQ(r.status, 1) << why;
        EXPECT_EQ(r.out, "") << why;
        EXPECT_TRUE(Contains(r.err, why)) << r.err;
        EXPECT_FALSE(Contains(r.err, "korvex-new")) << r.err;
    }
}

// Every regular file below a folder with its contents, links not followed.
std::vector<std::string> Snapshot(const fs::path& folder) {
    std::vector<std::string> all;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it)
        if (!it->is_symlink() && it->is_regular_file()) all.push_back(it->path().string() + "=" + ReadHostFile(it->path()));
    std::sort(all.begin(), all.end());
    return all;
}

// Nothing is written behind a running Wine's back: both scan commands refuse before they
// read or write anything, and the first start's settings write is refused with Korvex's
// message box ("Title: text" on one line). With Wine gone the same command works.
TEST_F(Cli, NothingIsWrittenWhileWineRunsTheMachine) {
    ASSERT_EQ(onMachine({"init"}).status, 0);
    const auto before = Snapshot(machine_);
    const std::string userReg = ReadHostFile(fs::path(machine_) / "user.reg");
    {
        FakeWineserver server(wine::WineserverDirectories(machine_).back() + "/lock");
        ASSERT_TRUE(server.locked());
        const std::string busy =
            "Wine is running programs in this machine (wineserver process " + std::to_string(server.pid()) + ")";
        for (const std::vector<std::string>& args : {std::vector<std::string>{"update"},
                                                     {"find", "--save", machine("acme.kvu")}, {"info"}}) {
            SCOPED_TRACE(args[0]);
            const CommandResult r = onMachine(args);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_TRUE(Contains(r.err, busy)) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            if (args[0] == "info") EXPECT_EQ(r.err.rfind("Korvex!: ", 0), 0u) << r.err;
            else EXPECT_EQ(Snapshot(machine_), before) << "a file changed";
        }
        EXPECT_EQ(ReadHostFile(fs::path(machine_) / "user.reg"), userReg);
    }
    EXPECT_FALSE(fs::exists(machine("acme.kvu")));
    EXPECT_EQ(onMachine({"info"}).status, 0);
    EXPECT_NE(ReadHostFile(fs::path(machine_) / "user.reg"), userReg);
}

}  // namespace
}  // namespace korvex::test
