// korvex-cli unused-dlls and duplicates on a machine in a temporary folder: what they
// print, their exit statuses, and that the work files are gone afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "cleanup/unused_dlls.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace korvex::test {
namespace {

namespace fs = std::filesystem;

class CleanUpCli : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "home");
        ASSERT_TRUE(wine::CreateMachine(dir_, wine::WindowsVersion::Win10));
    }

    fs::path c() const { return fs::path(dir_) / "drive_c"; }

    // A file with a fixed modification time, so that copies count as the same.
    void file(const std::string& relative, const std::string& text, int minutes = 0) {
        WriteHostFile(c() / relative, text);
        fs::last_write_time(c() / relative, fs::file_time_type(std::chrono::hours(400000) + std::chrono::minutes(minutes)));
    }

    void sharedCount(const std::string& path, std::uint32_t count) {
        auto machine = wine::WineMachine::open(dir_);
        ASSERT_TRUE(machine);
        HKEY key = 0;
        ASSERT_EQ(machine->registry().createKey(HKEY_LOCAL_MACHINE, cleanup::kSharedDllsKey, &key), ERROR_SUCCESS);
        std::string data;
        for (int i = 0; i < 4; ++i) data += static_cast<char>((count >> (8 * i)) & 0xFF);
        machine->registry().setValue(key, path, REG_DWORD, data);
        machine->registry().closeKey(key);
        ASSERT_EQ(machine->registry().flush(), ERROR_SUCCESS);
    }

    CommandResult run(std::vector<std::string> args) {
        std::string command = "env -u KORVEX_MACHINE -u WINEPREFIX HOME=" + ShellQuote(folder_ / "home") + " " +
                              ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(dir_);
        for (const std::string& a : args) command += " " + ShellQuote(a);
        return RunCommand(command, folder_.path());
    }

    TempHostFolder folder_{"korvex-cleanup-cli"};
    std::string dir_ = folder_ / "machine";
};

TEST_F(CleanUpCli, UnusedDllsListsAndNeverDeletes) {
    file("windows/system32/old.dll", std::string(600, 'x'));
    file("windows/system32/used.dll", "u");
    sharedCount("C:\\windows\\system32\\old.dll", 0);
    sharedCount("C:\\windows\\system32\\used.dll", 3);
    sharedCount("C:\\windows\\system32\\gone.dll", 0);

    const CommandResult listed = run({"unused-dlls"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "C:\\windows\\system32\\old.dll\t1KB\nTotal files:1\nTotal size:1KB\n");

    const CommandResult refused = run({"--yes", "unused-dlls", "--delete"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("never deleted"), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::exists(c() / "windows/system32/old.dll"));

    const CommandResult moved = run({"--yes", "unused-dlls", "--move", "C:\\Aside"});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_NE(moved.out.find("Moved 1 of 1 files"), std::string::npos) << moved.out;
    EXPECT_TRUE(fs::exists(c() / "Aside/old.dll"));
    EXPECT_TRUE(fs::exists(c() / "windows/system32/used.dll"));
}

TEST_F(CleanUpCli, DuplicatesAreDeletedOnlyAfterTheWarning) {
    file("One/readme.txt", "same text");
    file("Two/readme.txt", "same text");

    const CommandResult asked = run({"duplicates", "--delete"});
    EXPECT_EQ(asked.status, 1);
    EXPECT_EQ(asked.err.rfind("Confirm delete: Make sure that you keep at least one copy", 0), 0u) << asked.err;
    EXPECT_TRUE(fs::exists(c() / "One/readme.txt"));
    EXPECT_TRUE(fs::exists(c() / "Two/readme.txt"));
    EXPECT_EQ(run({"duplicates", "--delete", "--move", "C:\\Aside"}).status, 2);

    const CommandResult deleted = run({"--yes", "duplicates", "--delete"});
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_NE(deleted.out.find("Total files:2\nTotal size:0KB\nRemoved 2 of 2 files\n"), std::string::npos)
        << deleted.out;
    EXPECT_FALSE(fs::exists(c() / "One/readme.txt"));
    EXPECT_FALSE(fs::exists(c() / "Two/readme.txt"));
}

TEST_F(CleanUpCli, DuplicatesFollowTheRules) {
    file("One/readme.txt", "same text");
    file("Two/readme.txt", "same text");
    file("Two/other.txt", "x");
    file("Three/readme.txt", "same text", 5);  // another time
    file("Four/other.txt", "y", 7);

    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> paths;  // the listed files, in any order (folders come as the disk lists them)
        const char* totals;
    };
    const std::vector<Case> cases = {
        {{}, {"C:\\One\\readme.txt", "C:\\Two\\readme.txt"}, "Total files:2\nTotal size:0KB\n"},
        {{"--any-time"},
         {"C:\\One\\readme.txt", "C:\\Two\\readme.txt", "C:\\Three\\readme.txt", "C:\\Four\\other.txt",
          "C:\\Two\\other.txt"},
         "Total files:5\n"},
        {{"--named", "other", "--any-time"}, {"C:\\Four\\other.txt", "C:\\Two\\other.txt"}, "Total files:2\n"},
        {{"--drives", "C:", "--any-time", "--containing", "TEXT", "--named=.txt"},
         {"C:\\One\\readme.txt", "C:\\Two\\readme.txt", "C:\\Three\\readme.txt"}, "Total files:3\n"},
        {{"--containing", "absent"}, {}, "Total files:0\nTotal size:0KB\n"},
    };
    for (const Case& each : cases) {
        std::string trace;
        for (const std::string& a : each.args) trace += a + " ";
        SCOPED_TRACE(trace);
        const CommandResult result = run([&] {
            std::vector<std::string> args{"duplicates"};
            args.insert(args.end(), each.args.begin(), each.args.end());
            return args;
        }());
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<std::string> paths;
        std::size_t start = 0;
        for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string line = result.out.substr(start, end - start);
            if (line.rfind("Total ", 0) != 0) paths.push_back(line.substr(0, line.find('\t')));
        }
        std::vector<std::string> expected = each.paths;
        std::sort(paths.begin(), paths.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(paths, expected);
        EXPECT_NE(result.out.find(each.totals), std::string::npos) << result.out;
        EXPECT_FALSE(fs::exists(c() / "duplicate1.kvd"));
        EXPECT_FALSE(fs::exists(c() / "temp.kvd"));
    }

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"duplicates", "--drives", "Q:"}, {"duplicates", "--named"}, {"duplicates", "--fast"}})
        EXPECT_EQ(run(bad).status, 2) << bad.back();
}

}  // namespace
}  // namespace korvex::test
