// korvex-cli clean, unused-dlls and duplicates on a machine in a temporary folder: what
// they list, with the window's totals, their options and exit statuses, what they remove
// only when told to, and that their work files are gone afterwards. Which files each
// scan finds is the clean-up tests' business; here one run of each joins scan, options
// and removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_run.h"

namespace korvex::test {
namespace {

// The lines a listing command printed: the files sorted (the host lists folders in its
// own order), then the two totals.
std::vector<std::string> Listing(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end() - std::min<std::ptrdiff_t>(lines.size(), 2));
    return lines;
}

class CleanUpCommands : public CliRun {
protected:
    void SetUp() override {
        CliRun::SetUp();
        ASSERT_EQ(onMachine({"init"}).status, 0);
    }

    // A file in C:, by default at a fixed time and so a copy of others with the same text.
    void file(const std::string& relative, const std::string& text, fs::file_time_type time = kFixedTime) {
        WriteHostFile(driveC() / relative, text);
        fs::last_write_time(driveC() / relative, time);
    }
    static constexpr fs::file_time_type kFixedTime{std::chrono::hours(400000)};

    std::string trash_ = home_ + "/.local/share/Trash";
};

TEST_F(CleanUpCommands, CleanListsPlantedJunkWithTheWindowsTotalsAndDeletesOnlyWhenTold) {
    const fs::file_time_type now = fs::file_time_type::clock::now();
    // Today's temporary file stays: the scan reads the host's file times as local days.
    for (const auto& [path, bytes] : {std::pair{"Games/X/save.bak", 1500}, {"Games/X/new.tmp", 10},
                                      {"Games/X/Logs/error.log", 3000}, {"Apps/Tool/readme.txt", 10},
                                      {"Apps/Tool/page.~mp", 700}, {"users/Public/Documents/report.old", 2 * 1024 * 1024 + 5}})
        file(path, std::string(bytes, 'j'), now);
    file("Games/X/old.tmp", std::string(10, 'j'), now - std::chrono::hours(30));

    const CommandResult run = onMachine({"clean", "--drives", "C:"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Listing(run.out), (std::vector<std::string>{"C:\\Apps\\Tool\\page.~mp\t1KB", "C:\\Games\\X\\Logs\\error.log\t2KB",
                                               "C:\\Games\\X\\old.tmp\t0KB", "C:\\Games\\X\\save.bak\t1KB",
                                               "C:\\users\\Public\\Documents\\report.old\t2MB", "Total files:5",
                                               "Total size:2MB"}));
    EXPECT_EQ(onMachine({"clean", "--delete", "--move", "/tmp"}).status, 2);

    // --delete: nothing unasked (the run with --yes still finds all five); with --yes
    // five entries fewer below the machine (links not followed), and they are the listed
    // files, in the Trash (the default delete mode).
    auto entries = [&] { return std::distance(fs::recursive_directory_iterator(machine_), {}); };
    const auto before = entries();
    EXPECT_EQ(onMachine({"clean", "--delete"}).status, 1);
    const CommandResult removed = onMachine({"--yes", "clean", "--delete"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_TRUE(Contains(removed.out, "Removed 5 of 5 files")) << removed.out;
    EXPECT_EQ(entries(), before - 5);
    std::set<std::string> trashed;
    for (const fs::path& file : fs::directory_iterator(trash_ + "/files")) trashed.insert(file.filename());
    EXPECT_EQ(trashed, (std::set<std::string>{"error.log", "old.tmp", "page.~mp", "report.old", "save.bak"}));
}

TEST_F(CleanUpCommands, UnusedDllsListsAndNeverDeletes) {
    file("windows/system32/old.dll", std::string(600, 'x'));
    // A shared-library count of 0, written into the machine's registry file.
    std::ofstream(fs::path(machine_) / "system.reg", std::ios::app)
        << "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\SharedDLLs] 1700000000\n"
           "\"C:\\\\windows\\\\system32\\\\old.dll\"=dword:00000000\n";

    const CommandResult refused = onMachine({"--yes", "unused-dlls", "--delete"});
    EXPECT_TRUE(refused.status == 2 && Contains(refused.err, "never deleted")) << refused.status << refused.err;

    // The listing as the window totals it, then the listed file moved aside.
    const CommandResult moved = onMachine({"--yes", "unused-dlls", "--move", "C:\\Aside"});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_EQ(moved.out, "C:\\windows\\system32\\old.dll\t1KB\nTotal files:1\nTotal size:1KB\nMoved 1 of 1 files\n");
    EXPECT_TRUE(fs::exists(driveC() / "Aside/old.dll"));
}

TEST_F(CleanUpCommands, DuplicatesFollowTheRulesAndAreDeletedOnlyAfterTheWarning) {
    file("One/readme.txt", "same text");
    file("Two/readme.txt", "same text");
    file("Two/other.txt", "x");
    file("Three/readme.txt", "same text", kFixedTime + std::chrono::minutes(5));  // another time
    file("Four/other.txt", "y", kFixedTime + std::chrono::minutes(7));  // a copy without TEXT in it

    // With options, the rules they set; without (the runs below), the window's settings.
    const CommandResult listed = onMachine({"duplicates", "--drives", "C:", "--any-time", "--containing", "TEXT",
                                            "--named=.txt"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(Listing(listed.out), (std::vector<std::string>{"C:\\One\\readme.txt\t0KB", "C:\\Three\\readme.txt\t0KB",
                                                         "C:\\Two\\readme.txt\t0KB", "Total files:3", "Total size:0KB"}));
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"duplicates", "--drives", "Q:"},
                                                {"duplicates", "--named"}, {"duplicates", "--delete", "--move", "C:\\Aside"}})
        EXPECT_EQ(onMachine(bad).status, 2) << bad.back();

    const CommandResult asked = onMachine({"duplicates", "--delete"});
    EXPECT_EQ(asked.status, 1);
    EXPECT_EQ(asked.err.rfind("Confirm delete: Make sure that you keep at least one copy", 0), 0u) << asked.err;

    const CommandResult deleted = onMachine({"--yes", "duplicates", "--delete"});
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(Listing(deleted.out), (std::vector<std::string>{"C:\\One\\readme.txt\t0KB", "C:\\Two\\readme.txt\t0KB",
                                                          "Total files:2", "Total size:0KB", "Removed 2 of 2 files"}));
    EXPECT_FALSE(fs::exists(driveC() / "One/readme.txt") || fs::exists(driveC() / "Two/readme.txt"));
}

}  // namespace
}  // namespace korvex::test
