// korvex-cli as a user runs it: the built program on machines in temporary folders,
// its exit statuses, what it prints where, and what it leaves on the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine/machine_builder.h"
#include "platform/wine/wineserver.h"
#include "tests/support/fake_wineserver.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace {

using korvex::test::CommandResult;
using korvex::test::FakeWineserver;
using korvex::test::ReadHostFile;
using korvex::test::RunCommand;
using korvex::test::ShellQuote;
using korvex::test::TempHostFolder;
using korvex::test::WriteHostFile;
using Result = CommandResult;

class Cli : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(root_ / "home"); }

    // Runs korvex-cli with a home of its own, so no machine of the user is ever found.
    Result run(const std::vector<std::string>& args, const std::string& environment = "") {
        std::string command = "env -u KORVEX_MACHINE -u WINEPREFIX -u XDG_DATA_HOME HOME=" +
                              ShellQuote((root_ / "home").string()) + " " + environment + " " + ShellQuote(KORVEX_CLI);
        for (const auto& a : args) command += " " + ShellQuote(a);
        return RunCommand(command, root_);
    }

    std::string machine(const std::string& name) const { return (root_ / name).string(); }

    TempHostFolder temp_{"korvex-cli-test"};
    fs::path root_ = temp_.path();
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(Cli, HelpAndUsageErrors) {
    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* part : {"Usage: korvex-cli [--machine DIR] [--yes] COMMAND", "init", "info", "update", "find",
                             "--windows-version win98|win7|win10", "Exit status: 0 success, 1 failure or refusal, 2 usage error"})
        EXPECT_TRUE(contains(help.out, part)) << part;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(run({"help"}).out, help.out);
    EXPECT_EQ(run({"info", "--help"}).out, help.out);

    const Result none = run({});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_TRUE(contains(none.err, "Usage: korvex-cli"));

    const Result unknown = run({"bogus"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(contains(unknown.err, "unknown command 'bogus'")) << unknown.err;

    EXPECT_EQ(run({"--frobnicate", "info"}).status, 2);
    EXPECT_EQ(run({"info", "--machine"}).status, 2);
    EXPECT_EQ(run({"--machine", machine("m"), "init", "--windows-version", "win95"}).status, 2);
    EXPECT_EQ(run({"--machine", machine("m"), "init", "extra"}).status, 2);
    EXPECT_FALSE(fs::exists(machine("m"))) << "a usage error makes nothing";
}

TEST_F(Cli, InitThenInfo) {
    const std::string dir = machine("nt");
    const Result made = run({"--machine", dir, "init"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(contains(made.out, dir));
    EXPECT_TRUE(korvex::wine::IsMachineFolder(dir));
    const std::string userReg = ReadHostFile(fs::path(dir) / "user.reg");

    const Result again = run({"init", "--machine", dir, "--windows-version", "win98"});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(contains(again.out, "already a machine"));
    EXPECT_EQ(ReadHostFile(fs::path(dir) / "user.reg"), userReg) << "an existing machine is left alone";

    const Result info = run({"--machine", dir, "info"});
    ASSERT_EQ(info.status, 0) << info.err;
    for (const std::string& part :
         {"Machine:               " + dir + "\n", std::string("(NT family)"), std::string("  C:  fixed disk"),
          std::string("  (C:) "), std::string("Local hard drives (C:"), std::string("This drive has not been scanned."),
          std::string("Windows folder:        C:\\windows\\\n"), std::string("Windows drive root:    C:\\\n"),
          std::string("History folder:        C:\\users\\"), std::string("Program folder:        C:\\Program Files\\Korvex\n"),
          std::string("Data folder:           C:\\Program Files\\Korvex\\\n")})
        EXPECT_TRUE(contains(info.out, part)) << part << "\n" << info.out;
    EXPECT_EQ(info.err, "");

    // Start-up wrote the first-run settings into the machine and placed the support files.
    const std::string settings = ReadHostFile(fs::path(dir) / "user.reg");
    EXPECT_TRUE(contains(settings, "[Software\\\\Korvex!\\\\General]"));
    EXPECT_TRUE(contains(settings, "\"DefaultPath\"=\"C:\\\\Program Files\\\\Korvex\\\\\""));
    EXPECT_TRUE(contains(ReadHostFile(fs::path(dir) / "system.reg"), "[Software\\\\Classes\\\\KorvexUninstall\\\\DefaultIcon]"));
    const fs::path program = fs::path(dir) / "drive_c" / "Program Files" / "Korvex";
    for (const char* file : {"Korvex.hlp", "uninst.ico", "scan.avi"}) EXPECT_TRUE(fs::exists(program / file)) << file;

    // A second run changes nothing.
    const std::string before = ReadHostFile(fs::path(dir) / "user.reg");
    EXPECT_EQ(run({"--machine", dir, "info"}).status, 0);
    EXPECT_EQ(ReadHostFile(fs::path(dir) / "user.reg"), before);

    // A Windows 98 machine: the other family, and no History folder.
    const std::string old = machine("w98");
    ASSERT_EQ(run({"--machine", old, "init", "--windows-version=win98"}).status, 0);
    const Result info98 = run({"--machine", old, "info"});
    ASSERT_EQ(info98.status, 0) << info98.err;
    EXPECT_TRUE(contains(info98.out, "(Windows 95 family)")) << info98.out;
    EXPECT_TRUE(contains(info98.out, "History folder:        (none)\n")) << info98.out;
}

TEST_F(Cli, FindsTheMachineWithoutMachineOption) {
    // KORVEX_MACHINE names the machine.
    const std::string named = machine("named");
    ASSERT_EQ(run({"init"}, "KORVEX_MACHINE=" + ShellQuote(named)).status, 0);
    EXPECT_TRUE(korvex::wine::IsMachineFolder(named));
    const Result info = run({"info"}, "KORVEX_MACHINE=" + ShellQuote(named));
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(contains(info.out, "Machine:               " + named + "\n"));

    // Nothing given and no ~/.wine: the built-in machine is made on first use.
    const Result builtIn = run({"info"});
    ASSERT_EQ(builtIn.status, 0) << builtIn.err;
    const std::string expected = (root_ / "home" / ".local" / "share" / "korvex" / "machine").string();
    EXPECT_TRUE(contains(builtIn.out, "Machine:               " + expected + "\n")) << builtIn.out;
    EXPECT_TRUE(korvex::wine::IsMachineFolder(expected));
}

TEST_F(Cli, FailuresExitWithOne) {
    // A folder with other things in it is not a machine, and init will not take it over.
    const std::string other = machine("documents");
    WriteHostFile(fs::path(other) / "letter.txt", "dear");
    const Result info = run({"--machine", other, "info"});
    EXPECT_EQ(info.status, 1);
    EXPECT_TRUE(contains(info.err, "init")) << info.err;
    const Result init = run({"--machine", other, "init"});
    EXPECT_EQ(init.status, 1);
    EXPECT_FALSE(fs::exists(fs::path(other) / "system.reg"));

    EXPECT_EQ(run({"--machine", machine("missing"), "info"}).status, 1);
}

TEST_F(Cli, RefusedRegistryWriteIsAMessageAndExitOne) {
    const std::string dir = machine("busy");
    ASSERT_EQ(run({"--machine", dir, "init"}).status, 0);
    const std::string userReg = ReadHostFile(fs::path(dir) / "user.reg");
    {
        FakeWineserver server(korvex::wine::WineserverDirectories(dir).back() + "/lock");
        ASSERT_TRUE(server.locked());
        const Result r = run({"--machine", dir, "info"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        // Korvex's message box, as korvex-cli shows it: "Title: text" on one line.
        EXPECT_EQ(r.err.rfind("Korvex!: ", 0), 0u) << r.err;
        EXPECT_TRUE(contains(r.err, "wineserver")) << r.err;
        EXPECT_EQ(r.err.back(), '\n');
        EXPECT_EQ(ReadHostFile(fs::path(dir) / "user.reg"), userReg) << "nothing was written behind Wine's back";
    }
    // With Wine gone the same command works.
    const Result after = run({"--machine", dir, "info"});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_NE(ReadHostFile(fs::path(dir) / "user.reg"), userReg);
}

// Every regular file below a folder with its contents, links not followed.
std::vector<std::string> Snapshot(const fs::path& folder) {
    std::vector<std::string> all;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it)
        if (!it->is_symlink() && it->is_regular_file()) all.push_back(it->path().string() + "=" + ReadHostFile(it->path()));
    std::sort(all.begin(), all.end());
    return all;
}

// A scan of a machine Wine is running programs in would read old registry files: both
// scan commands refuse before they read or write anything, with one message.
TEST_F(Cli, ScansRefuseWhileWineRunsTheMachine) {
    const std::string dir = machine("running");
    ASSERT_EQ(run({"--machine", dir, "init"}).status, 0);
    ASSERT_EQ(run({"--machine", dir, "update"}).status, 0);
    WriteHostFile(fs::path(dir) / "drive_c" / "Program Files" / "Acme" / "acme.exe", "MZ");
    const auto before = Snapshot(dir);
    FakeWineserver server(korvex::wine::WineserverDirectories(dir).back() + "/lock");
    ASSERT_TRUE(server.locked());
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--machine", dir, "update"},
                                                 {"--machine", dir, "find", "--save", machine("acme.kvu")}}) {
        const Result r = run(args);
        SCOPED_TRACE(args[2]);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(contains(r.err, "Wine is running programs in this machine (wineserver process " +
                                        std::to_string(server.pid()) + ")"))
            << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(Snapshot(dir), before);
    }
    EXPECT_FALSE(fs::exists(machine("acme.kvu")));
}

// A scan database that cannot be written is a failure: the message names the file and
// the reason, the exit status is 1, nothing claims success and no work file stays in C:\.
TEST_F(Cli, UnwritableScanDatabaseIsAFailure) {
    const std::string dir = machine("blocked");
    ASSERT_EQ(run({"--machine", dir, "init"}).status, 0);
    const fs::path c = fs::path(dir) / "drive_c";
    fs::create_directories(c / "Program Files" / "Korvex" / "Cdbase.kvd");  // a folder where the file goes
    const Result r = run({"--machine", dir, "update"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Machine: " + dir + "\n", 0), 0u) << r.err;
    EXPECT_TRUE(contains(r.err, "Error updating database: Korvex could not write C:\\Program Files\\Korvex\\Cdbase.kvd "
                                "(Is a directory), so the scan database in C:\\Program Files\\Korvex\\ is not up to date."))
        << r.err;
    EXPECT_FALSE(contains(r.err + r.out, "updated (")) << r.out;
    for (const auto& entry : fs::directory_iterator(c))
        EXPECT_NE(entry.path().extension(), ".kvd") << entry.path() << " left in the drive root";
}

// A data folder that cannot hold the built-in machine is named with the real cause.
TEST_F(Cli, BuiltInMachineFolderThatCannotBeMadeIsNamed) {
    WriteHostFile(root_ / "data-file", "not a folder");
    const Result r = run({"info"}, "XDG_DATA_HOME=" + ShellQuote((root_ / "data-file").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "cannot create the folder " + (root_ / "data-file").string() + " (Not a directory)"))
        << r.err;
    EXPECT_FALSE(contains(r.err, "korvex-new")) << r.err;
}

}  // namespace
