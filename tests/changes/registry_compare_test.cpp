// The registry comparison on files: the saved dump, the current one, the list of added keys.
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

const std::string kSaved = CrlfLines({"", "System", "Software", "Software\\Vendor"});

// Which keys count as added (letter case, keys that share beginnings, keys shorter than
// the index's grams, other enumeration orders, partial and empty dumps) is run on
// generated hives against the step-by-step comparison (equivalence_test).
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
