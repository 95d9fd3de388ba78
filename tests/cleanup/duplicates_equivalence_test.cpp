// The duplicate finder against the plain passes over the work files, on generated
// drives: many folders, names shared by thousands of files in different spellings,
// empty files, a Sysbckup folder, two dates, contents with and without a text; every
// combination of the rules, with and without a containing text and a name filter.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cleanup/duplicates.h"
#include "tests/cleanup/clean_machine.h"
#include "tests/cleanup/plain_duplicates.h"

namespace korvex::test {
namespace {

using namespace cleanup;

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

// Both matchings on the candidate list under every combination of the rules.
void compareOnList(CleanMachine& machine, const std::string& list, const std::string& filter, std::size_t* rowsSeen) {
    const std::string candidates = "C:\\duplicate1.kvd", work = "C:\\temp.kvd";
    for (int bits = 0; bits < 32; ++bits) {
        DuplicateOptions options;
        options.named = filter;
        options.sameSize = bits & 1;
        options.sameDateTime = bits & 2;
        options.skipZeroLength = bits & 4;
        options.skipSysbckup = bits & 8;
        options.containing = (bits & 16) ? "hello" : "";
        SCOPED_TRACE("filter '" + filter + "', options " + std::to_string(bits));
        const DuplicatePairTest test(machine.files, options, "C:\\windows\\");
        std::vector<std::string> rows[2];  // the real finder's, the plain passes'
        CleanUpTotals totals[2];
        for (int plain = 0; plain < 2; ++plain) {
            machine.files.replaceFile(candidates, list);  // the plain passes consume it
            machine.rows.clear();
            CleanUpScan scan = machine.scan();
            ASSERT_EQ(plain ? PlainFindDuplicates(scan, candidates, work, test) : FindDuplicates(scan, candidates, test),
                      StageEnd::Done);
            rows[plain] = machine.lines();
            totals[plain] = scan.totals;
        }
        ASSERT_EQ(rows[0], rows[1]);
        EXPECT_EQ(totals[0].files, totals[1].files);
        EXPECT_EQ(totals[0].bytes, totals[1].bytes);
        *rowsSeen += rows[0].size();
    }
}

void compareAllOptions(CleanMachine& machine, const std::vector<std::string>& filters, std::size_t* rowsSeen) {
    for (const std::string& filter : filters) {
        CleanUpScan walk = machine.scan();
        ASSERT_EQ(ListDuplicateCandidates(walk, "C:\\", SplitNameFilter(filter), "C:\\duplicate1.kvd"),
                  StageEnd::Done);
        compareOnList(machine, machine.files.contents("C:\\duplicate1.kvd"), filter, rowsSeen);
    }
}

TEST(DuplicatesEquivalence, SameRowsAsThePlainPasses) {
    struct Drive {
        unsigned seed;
        int folders, perFolder;
    };
    // Many folders with a few names each, and fewer folders crowded with the pool.
    for (const Drive& d : {Drive{1, 600, 4}, Drive{2, 150, 12}, Drive{3, 40, 3}}) {
        SCOPED_TRACE("drive " + std::to_string(d.seed));
        CleanMachine machine;
        makeDrive(machine.files, d.seed, d.folders, d.perFolder);
        std::size_t rowsSeen = 0;
        compareAllOptions(machine, {"", ".dll", "read", "x.D"}, &rowsSeen);
        EXPECT_GT(rowsSeen, 1000u);  // the drives do hold duplicates under most rules
    }
}

TEST(DuplicatesEquivalence, ThousandsOfOneName) {
    CleanMachine machine;
    std::mt19937 random(7);
    for (int f = 0; f < 3000; ++f) {
        const std::string folder = "C:\\D" + std::to_string(f % 30) + "\\S" + std::to_string(f) + "\\";
        machine.files.put(folder + (f % 2 ? "Common.DLL" : "common.dll"), (random() % 3) ? "same" : "diff!",
                          1000 + static_cast<int>(random() % 2));
    }
    std::size_t rowsSeen = 0;
    compareAllOptions(machine, {""}, &rowsSeen);
    EXPECT_GT(rowsSeen, 3000u);
}

// A case-sensitive disk can hold several spellings of one name in a folder: the
// first spelling of the first folder is the current file of the whole name.
TEST(DuplicatesEquivalence, SpellingsOfOneNameInOneFolder) {
    CleanMachine machine;
    for (const char* folder : {"C:\\A\\", "C:\\B\\", "C:\\C\\", "C:\\D\\"})
        for (const char* name : {"x.txt", "y.txt"}) machine.files.put(std::string(folder) + name, "hello");
    const std::string list =
        "C:\\A\\{\r\nX.TXT\r\nx.txt\r\ny.txt\r\n}\r\nC:\\B\\{\r\nx.Txt\r\nX.txt\r\n}\r\n"
        "C:\\C\\{\r\n}\r\nC:\\D\\{\r\nY.TXT\r\nx.txt\r\n}\r\n";
    std::size_t rowsSeen = 0;
    compareOnList(machine, list, "", &rowsSeen);
    EXPECT_EQ(rowsSeen, 32u * 6);  // A\X.TXT, B\x.Txt, B\X.txt, D\x.txt; A\y.txt, D\Y.TXT
}

}  // namespace
}  // namespace korvex::test
