// The registry comparison: which keys of the current dump count as added.
#include <gtest/gtest.h>

#include <string>

#include "changes/line_views.h"
#include "changes/registry_compare.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scripted_prompt.h"
#include "tests/support/text_lines.h"

namespace korvex {
namespace {

using test::CrlfLines;

std::string compare(const std::string& saved, const std::string& current) {
    std::string out;
    EXPECT_TRUE(CompareKeyLists(LineTable(saved), LineTable(current), out, RunHooks{}));
    return out;
}

const std::string kSaved = CrlfLines({"", "System", "Software", "Software\\Vendor", "Software\\Vendor\\Tool",
                                  "Software\\Microsoft", "Software\\Microsoft\\Windows"});

TEST(RegistryCompare, ReportsANewKeyOnceAndNothingBelowIt) {
    EXPECT_EQ(compare(kSaved, kSaved), "");

    const std::string current =
        CrlfLines({"", "System", "Software", "Software\\Vendor", "Software\\Vendor\\Tool", "Software\\NewVendor",
               "Software\\NewVendor\\App", "Software\\NewVendor\\App\\1.0", "Software\\Microsoft",
               "Software\\Microsoft\\Windows"});
    EXPECT_EQ(compare(kSaved, current), CrlfLines({"Software\\NewVendor"}));

    // A sibling whose name merely begins with the reported key's name is skipped too.
    const std::string siblings = CrlfLines({"", "System", "Software", "Software\\Vendor", "Software\\NewApp",
                                        "Software\\NewAppHelper", "Software\\Microsoft"});
    EXPECT_EQ(compare(kSaved, siblings), CrlfLines({"Software\\NewApp"}));
}

TEST(RegistryCompare, AKeyIsPresentWhenASavedLineContainsItInAnyCase) {
    // Other letter case: present.
    EXPECT_EQ(compare(kSaved, CrlfLines({"", "SYSTEM", "software", "SOFTWARE\\vendor\\TOOL"})), "");
    // A key that is part of a longer saved key: present.
    EXPECT_EQ(compare(kSaved, CrlfLines({"", "Software", "Software\\Ven", "Software\\Microsoft\\Win"})), "");
    // Part of a key name that is no key of its own still counts, even mid-path.
    EXPECT_EQ(compare(kSaved, CrlfLines({"Vendor\\Tool"})), "");
    EXPECT_EQ(compare(kSaved, CrlfLines({"Software\\Vendors"})), CrlfLines({"Software\\Vendors"}));
}

TEST(RegistryCompare, FindsKeysBehindTheSearchPositionByGoingRoundTheRing) {
    // The current dump meets Software\Microsoft first, while the saved dump holds it
    // after Software\Vendor: the search runs to the end, and Vendor is then found
    // from the start of the saved dump.
    const std::string current = CrlfLines({"", "System", "Software", "Software\\Microsoft", "Software\\Microsoft\\Windows",
                                       "Software\\Vendor", "Software\\Vendor\\Tool"});
    EXPECT_EQ(compare(kSaved, current), "");

    // A dump of "Software" only (no full scan) against a saved dump of the whole hive.
    EXPECT_EQ(compare(kSaved, CrlfLines({"Software", "Software\\Vendor", "Software\\Vendor\\New"})),
              CrlfLines({"Software\\Vendor\\New"}));
}

TEST(RegistryCompare, AnEmptySavedDumpMakesEveryKeyAddedSaveThoseBelowOne) {
    EXPECT_EQ(compare("", CrlfLines({"", "A", "A\\B", "C"})), CrlfLines({"A", "C"}));
    // Keys shorter than the index's grams are searched line by line.
    EXPECT_EQ(compare(kSaved, CrlfLines({"", "Zq", "Ve"})), CrlfLines({"Zq"}));
}

TEST(RegistryCompare, WorksOnFilesAndStopsAtTheStopFlag) {
    MemoryFiles files;
    files.put("C:\\Korvex\\hkcuReg.kvd", kSaved);
    files.put("C:\\hkcutmp.kvd", CrlfLines({"", "Software", "Software\\New"}));
    ASSERT_TRUE(RegFindChanges(files, "C:\\Korvex\\hkcureg.kvd", "C:\\hkcutmp.kvd", "C:\\hkcuchanges.kvd", RunHooks{}));
    EXPECT_EQ(files.contents("C:\\hkcuchanges.kvd"), CrlfLines({"Software\\New"}));

    ScriptedPrompt prompt;
    bool stop = false;
    prompt.onYield = [&] { stop = true; };
    EXPECT_FALSE(RegFindChanges(files, "C:\\Korvex\\hkcureg.kvd", "C:\\hkcutmp.kvd", "C:\\hkcuchanges.kvd",
                                RunHooks{&prompt, &stop, nullptr}));
    EXPECT_TRUE(files.exists("C:\\hkcuchanges.kvd"));  // closed; the driver deletes it
}

}  // namespace
}  // namespace korvex
