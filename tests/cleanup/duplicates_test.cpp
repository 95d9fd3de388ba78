// The duplicate finder: on small machines, which rows each rule gives, in which order,
// the candidate list the walk writes, and Stop in either stage; on generated drives, the
// same rows as a plain matching under every combination of the rules.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "cleanup/duplicates.h"
#include "tests/cleanup/clean_machine.h"
#include "tests/cleanup/plain_duplicates.h"

namespace korvex::test {
namespace {

using namespace cleanup;

struct File {
    const char* path;
    const char* contents;
    std::int64_t modified = 1000;
};

struct Case {
    const char* what;
    std::vector<File> files;  // folders are made in this order, so they are walked in the reverse
    std::function<void(DuplicateOptions&)> options;  // none: the defaults
    std::vector<std::string> rows;  // "path size"
};

std::vector<Case> cases() {
    // Made C, B, A: the walk enters A first, so A is the current folder of every pair.
    const std::vector<File> equal = {{"C:\\C\\readme.txt", "abc"}, {"C:\\B\\readme.txt", "abc"},
                                     {"C:\\A\\readme.txt", "abc"}};
    const std::vector<File> aDiffers = {{"C:\\C\\readme.txt", "abc"}, {"C:\\B\\readme.txt", "abc"},
                                        {"C:\\A\\readme.txt", "abcd"}};
    const std::vector<File> dates = {{"C:\\B\\readme.txt", "abc", 2000}, {"C:\\A\\readme.txt", "abc", 1000}};
    const std::vector<File> kinds = {{"C:\\B\\x.dll", "d"},    {"C:\\B\\x.txt", "t"},  {"C:\\B\\README", "r"},
                                     {"C:\\B\\y.DLLX", "y"},   {"C:\\A\\x.dll", "d"},  {"C:\\A\\x.txt", "t"},
                                     {"C:\\A\\README", "r"},   {"C:\\A\\y.DLLX", "y"}};
    const std::vector<File> empty = {{"C:\\C\\MSCREATE.DIR", ""}, {"C:\\B\\MSCREATE.DIR", ""},
                                     {"C:\\A\\MSCREATE.DIR", ""}};
    // A's x.dll is current against Sysbckup's; Sysbckup's y.dll is current against system32's.
    const std::vector<File> sysbckup = {{"C:\\windows\\SYSBCKUP\\x.dll", "d"}, {"C:\\A\\x.dll", "d"},
                                        {"C:\\windows\\SYSBCKUP\\y.dll", "d"}, {"C:\\windows\\system32\\y.dll", "d"}};
    const std::vector<File> text = {{"C:\\C\\notes.txt", "nothing here"}, {"C:\\B\\notes.txt", "one\r\nHELLO there"},
                                    {"C:\\A\\notes.txt", "hello world"}};
    auto anySize = [](DuplicateOptions& o) { o.sameSize = false; };
    return {
        {"three equal files: the first folder's once, the others each", equal, {},
         {"C:\\A\\readme.txt 3", "C:\\B\\readme.txt 3", "C:\\C\\readme.txt 3"}},
        {"the first folder's file of another size drops both others", aDiffers, {}, {}},
        {"without the size rule the other size is listed too", aDiffers, anySize,
         {"C:\\A\\readme.txt 4", "C:\\B\\readme.txt 3", "C:\\C\\readme.txt 3"}},
        {"another date and time is no duplicate", dates, {}, {}},
        {"without the date rule it is", dates, [](DuplicateOptions& o) { o.sameDateTime = false; },
         {"C:\\A\\readme.txt 3", "C:\\B\\readme.txt 3"}},
        {"an empty filter takes every name, also one without an extension", kinds, {},
         {"C:\\A\\x.dll 1", "C:\\B\\x.dll 1", "C:\\A\\x.txt 1", "C:\\B\\x.txt 1", "C:\\A\\README 1",
          "C:\\B\\README 1", "C:\\A\\y.DLLX 1", "C:\\B\\y.DLLX 1"}},
        {"the filter .dll: extensions holding dll", kinds, [](DuplicateOptions& o) { o.named = ".dll"; },
         {"C:\\A\\x.dll 1", "C:\\B\\x.dll 1", "C:\\A\\y.DLLX 1", "C:\\B\\y.DLLX 1"}},
        {"a name part alone also takes names without an extension", kinds, [](DuplicateOptions& o) { o.named = "E"; },
         {"C:\\A\\README 1", "C:\\B\\README 1"}},
        {"zero-length files are skipped", empty, {}, {}},
        {"and kept on request", empty, [](DuplicateOptions& o) { o.skipZeroLength = false; },
         {"C:\\A\\MSCREATE.DIR 0", "C:\\B\\MSCREATE.DIR 0", "C:\\C\\MSCREATE.DIR 0"}},
        {"the Sysbckup folder is skipped", sysbckup, {}, {}},
        {"and compared on request", sysbckup, [](DuplicateOptions& o) { o.skipSysbckup = false; },
         {"C:\\A\\x.dll 1", "C:\\windows\\SYSBCKUP\\x.dll 1", "C:\\windows\\SYSBCKUP\\y.dll 1",
          "C:\\windows\\system32\\y.dll 1"}},
        {"the containing text must be in the later file, on any line, in any case", text,
         [](DuplicateOptions& o) { o.sameSize = false; o.containing = "Hello"; },
         {"C:\\A\\notes.txt 11", "C:\\B\\notes.txt 16"}},
        {"a text across a line break is on no line", text,
         [](DuplicateOptions& o) { o.sameSize = false; o.containing = "one\r\nhello"; }, {}},
    };
}

// The duplicate scan of drives; checks the totals against the rows and that no work
// file is left, and gives the rows as "path size".
std::vector<std::string> Found(CleanMachine& m, const DuplicateOptions& options = {}, const char* drives = "C:") {
    CleanUpScan scan = m.scan();
    ScanDuplicates(m.services, scan, options, drives);
    EXPECT_EQ(scan.totals.files, m.rows.size());
    EXPECT_EQ(scan.totals.bytes, std::accumulate(m.rows.begin(), m.rows.end(), 0.0,
                                                 [](double sum, const CleanUpRow& row) { return sum + row.bytes; }));
    EXPECT_FALSE(m.files.exists("C:\\duplicate1.kvd") || m.files.exists("C:\\temp.kvd"));
    return m.lines();
}

TEST(Duplicates, RowsOfEachRule) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        CleanMachine m;
        for (const File& f : c.files) m.files.put(f.path, f.contents, f.modified);
        DuplicateOptions options;
        if (c.options) c.options(options);
        EXPECT_EQ(Found(m, options), c.rows);
    }
}

TEST(Duplicates, CandidateListFollowsTheWalk) {
    CleanMachine m;
    m.files.put("C:\\a.txt", "1");
    m.files.put("C:\\P\\b.dll", "2");
    m.files.put("C:\\P\\Q\\c.dll", "3");
    m.files.put("C:\\R\\}", "4");     // would end its folder's block
    m.files.put("C:\\R\\odd{", "5");  // would start a block
    m.files.put("C:\\R\\d.DLL", "6");
    CleanUpScan scan = m.scan();
    EXPECT_EQ(ListDuplicateCandidates(scan, "C:", SplitNameFilter(""), "C:\\duplicate1.kvd"), StageEnd::Done);
    // The work file itself is no candidate.
    EXPECT_EQ(m.files.contents("C:\\duplicate1.kvd"),
              "C:\\{\r\na.txt\r\n}\r\n"
              "C:\\R\\{\r\nd.DLL\r\n}\r\n"
              "C:\\P\\{\r\nb.dll\r\n}\r\n"
              "C:\\P\\Q\\{\r\nc.dll\r\n}\r\n"
              "C:\\windows\\{\r\n}\r\n"
              "C:\\windows\\system32\\{\r\n}\r\n");
    EXPECT_EQ(m.prompt.statuses.front(), "Scanning: C:\\");
}

TEST(Duplicates, StopInEitherStageLeavesNoWorkFile) {
    // The first yield after the status presses Stop; rows are possible only in the matching.
    for (const auto& [stopAfter, rowsBelow] : {std::pair{"Scanning: C:\\B\\", 1u},
                                               std::pair{"Finding duplicate files. Please wait...", 9u}}) {
        SCOPED_TRACE(stopAfter);
        CleanMachine m;
        for (const char* folder : {"C:\\C\\", "C:\\B\\", "C:\\A\\"})
            for (const char* name : {"x.txt", "y.txt", "z.txt"}) m.files.put(std::string(folder) + name, "same");
        m.files.put("C:\\temp.kvd", "left by an interrupted run");
        bool armed = false;
        m.prompt.onStatus = [&, stopAfter = stopAfter](std::string_view text) { armed = armed || text == stopAfter; };
        m.prompt.onYield = [&] { m.stop = m.stop || armed; };
        const std::vector<std::string> rows = Found(m);
        EXPECT_TRUE(m.stop);
        EXPECT_LT(rows.size(), rowsBelow);
    }
}

TEST(Duplicates, EachDriveOnItsOwnAndAVanishedFileIsNoDuplicate) {
    CleanMachine drives;
    drives.system.drives['D'] = FakeSystem::Drive{DRIVE_FIXED, ""};
    for (const char* path : {"C:\\B\\x.txt", "C:\\A\\x.txt", "D:\\A\\x.txt"}) drives.files.put(path, "x");
    EXPECT_EQ(Found(drives, {}, "C:,D:"), (std::vector<std::string>{"C:\\A\\x.txt 1", "C:\\B\\x.txt 1"}));

    CleanMachine m;
    for (const char* path : {"C:\\C\\x.txt", "C:\\B\\x.txt", "C:\\A\\x.txt"}) m.files.put(path, "x");
    // B's file goes between the walk and the matching.
    m.prompt.onStatus = [&](std::string_view text) {
        if (text == "Finding duplicate files. Please wait...") m.files.erase("C:\\B\\x.txt");
    };
    EXPECT_EQ(Found(m), (std::vector<std::string>{"C:\\A\\x.txt 1", "C:\\C\\x.txt 1"}));
}

// A drive of `folders` folders a few levels deep, each holding some names of a small
// shared pool (so most names recur in many folders) and a name of its own.
void makeDrive(MemoryFiles& files, unsigned seed, int folders, int perFolder) {
    std::mt19937 random(seed);
    const std::vector<std::string> pool = {"readme.txt", "README.TXT", "Setup.exe", "x.dll", "X.DLL", "LICENSE",
                                           "mscreate.dir", "a.b.c", "notes.log", "data.dll"};
    const std::vector<std::string> contents = {"", "same", "SAME", "hello world", "say Hello\r\nagain", "other"};
    std::vector<std::string> made = {"C:\\", "C:\\windows\\", "C:\\windows\\Sysbckup\\"};
    for (int f = 0; f < folders; ++f) {
        const std::string& parent = made[random() % made.size()];
        const std::string folder = parent + "F" + std::to_string(f) + "\\";
        files.createFolder(folder);
        made.push_back(folder);
        for (int i = 0; i < perFolder; ++i) {
            const std::string& name = pool[random() % pool.size()];
            if (files.exists(folder + name)) continue;  // one spelling per folder
            files.put(folder + name, contents[random() % contents.size()], 1000 + static_cast<int>(random() % 2));
        }
        files.put(folder + "own" + std::to_string(f) + ".txt", "same", 1000);
    }
}

// Both matchings of drive C:'s candidate list for each name filter, under every
// combination of the rules: the same rows in the same order, and the same totals.
// Gives the number of rows they found.
std::size_t CompareOnDrive(CleanMachine& m, std::initializer_list<std::string> filters) {
    const std::string candidates = "C:\\duplicate1.kvd", work = "C:\\temp.kvd";
    std::size_t rowsSeen = 0;
    for (const std::string& filter : filters) {
        CleanUpScan walk = m.scan();
        EXPECT_EQ(ListDuplicateCandidates(walk, "C:\\", SplitNameFilter(filter), candidates), StageEnd::Done);
        const std::string list = m.files.contents(candidates);
        for (int bits = 0; bits < 32; ++bits) {
            const DuplicateOptions options{.named = filter, .containing = (bits & 16) ? "hello" : "",
                                           .sameSize = (bits & 1) != 0, .sameDateTime = (bits & 2) != 0,
                                           .skipZeroLength = (bits & 4) != 0, .skipSysbckup = (bits & 8) != 0};
            SCOPED_TRACE("filter '" + filter + "', options " + std::to_string(bits));
            const DuplicatePairTest test(m.files, options, "C:\\windows\\");
            std::vector<std::string> rows[2];  // the real finder's, the plain passes': rows, then totals
            for (int plain = 0; plain < 2; ++plain) {
                m.files.replaceFile(candidates, list);  // the plain passes consume it
                m.rows.clear();
                CleanUpScan scan = m.scan();
                EXPECT_EQ(plain ? PlainFindDuplicates(scan, candidates, work, test)
                                : FindDuplicates(scan, candidates, test), StageEnd::Done);
                rows[plain] = m.lines();
                rows[plain].push_back(std::to_string(scan.totals.files) + " " + std::to_string(scan.totals.bytes));
            }
            EXPECT_EQ(rows[0], rows[1]);
            if (rows[0] != rows[1]) return 0;
            rowsSeen += rows[0].size() - 1;
        }
    }
    return rowsSeen;
}

TEST(Duplicates, SameRowsAsThePlainPassesOnGeneratedDrives) {
    // Many folders with a few names each, and fewer folders crowded with the pool.
    const std::tuple<unsigned, int, int> drives[] = {{1, 600, 4}, {2, 150, 12}, {3, 40, 3}};  // seed, folders, names
    for (const auto& [seed, folders, perFolder] : drives) {
        SCOPED_TRACE("drive " + std::to_string(seed));
        CleanMachine m;
        makeDrive(m.files, seed, folders, perFolder);
        EXPECT_GT(CompareOnDrive(m, {"", ".dll", "read", "x.D"}), 1000u);  // the drives do hold duplicates
    }
}

// A case-sensitive disk can hold several spellings of one name in a folder: the first
// spelling of the first folder is the current file of the whole name. The folders take
// their turns in list order, so B's pair of y.txt comes after A's although D lists it first.
TEST(Duplicates, SpellingsOfOneNameInOneFolderAndTheFoldersTurns) {
    CleanMachine m;
    for (const char* folder : {"C:\\A\\", "C:\\B\\", "C:\\D\\"})
        for (const char* name : {"x.txt", "y.txt"}) m.files.put(std::string(folder) + name, "hello");
    m.files.put("C:\\duplicate1.kvd", "C:\\A\\{\r\nX.TXT\r\nx.txt\r\n}\r\nC:\\B\\{\r\nx.Txt\r\nX.txt\r\ny.txt\r\n}\r\n"
                                      "C:\\C\\{\r\n}\r\nC:\\D\\{\r\nY.TXT\r\nx.txt\r\n}\r\n");
    CleanUpScan scan = m.scan();
    EXPECT_EQ(FindDuplicates(scan, "C:\\duplicate1.kvd", DuplicatePairTest(m.files, {}, "C:\\windows\\")),
              StageEnd::Done);
    EXPECT_EQ(m.lines(), (std::vector<std::string>{"C:\\A\\X.TXT 5", "C:\\B\\x.Txt 5", "C:\\B\\X.txt 5",
                                                   "C:\\D\\x.txt 5", "C:\\B\\y.txt 5", "C:\\D\\Y.TXT 5"}));
}

}  // namespace
}  // namespace korvex::test
