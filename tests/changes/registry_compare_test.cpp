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

const std::string kSaved = CrlfLines({"", "System", "Software", "Software\\Vendor", "Software\\Vendor\\Tool",
                                      "Software\\Microsoft", "Software\\Microsoft\\Windows"});

std::string compare(const std::string& saved, const std::string& current) {
    std::string out;
    EXPECT_TRUE(CompareKeyLists(LineTable(saved), LineTable(current), out, RunHooks{}));
    return out;
}

// Letter case, keys that share beginnings, other enumeration orders and partial dumps are
// also run on generated hives against the step-by-step comparison (equivalence_test).
TEST(RegistryCompare, ReportsANewKeyOnceAndNothingBelowIt) {
    const struct {
        std::string current, added;
    } cases[] = {
        {kSaved, ""},
        {CrlfLines({"", "System", "Software", "Software\\Vendor", "Software\\Vendor\\Tool", "Software\\NewVendor",
                    "Software\\NewVendor\\App", "Software\\NewVendor\\App\\1.0", "Software\\Microsoft"}),
         CrlfLines({"Software\\NewVendor"})},
        // A sibling whose name merely begins with the reported key's name is skipped too.
        {CrlfLines({"", "System", "Software", "Software\\NewApp", "Software\\NewAppHelper", "Software\\Microsoft"}),
         CrlfLines({"Software\\NewApp"})},
        // A key is present when a saved line contains it, even part of a key name mid-path.
        {CrlfLines({"Vendor\\Tool"}), ""},
        // Keys shorter than the index's grams are searched line by line.
        {CrlfLines({"", "Zq", "Ve"}), CrlfLines({"Zq"})},
    };
    for (const auto& c : cases) EXPECT_EQ(compare(kSaved, c.current), c.added) << c.current;
    // An empty saved dump makes every key added, save those below one.
    EXPECT_EQ(compare("", CrlfLines({"", "A", "A\\B", "C"})), CrlfLines({"A", "C"}));
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
