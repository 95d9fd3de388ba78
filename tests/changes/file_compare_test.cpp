// The walk of a find-changes run and the file merge: what counts as a new folder or
// an added file, and what the walk leaves out.
#include <gtest/gtest.h>

#include <string>

#include "changes/file_compare.h"
#include "changes/line_views.h"
#include "changes/scan_folder.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scripted_prompt.h"
#include "tests/scandb/support.h"
#include "tests/support/text_lines.h"

namespace korvex::test {
namespace {

const std::string kSep(1, '\x7f');

// New folders, added files, letter case, removed and reordered sections, empty lists and
// nested new folders are run on thousands of generated trees against the step-by-step
// merge (equivalence_test). The generator never writes these odd lines: headers with a
// second ":" or none, names holding character 127, a stray line where a section should begin.
TEST(FileMerge, OddLinesAreSearchedLineByLine) {
    const std::string current =
        CrlfLines({"C:\\{", "a.txt", "}", "C:\\Sep\\{", "z.txt", "X\x7fY", "new.txt", "}", "C:\\odd:dir\\{", "o.txt", "}",
                   "new:odd\\{", "}", "new:odd\\sub\\{", "n.txt", "}", "C:\\Missing\\{", "}", "C:\\Last\\{", "}"});
    const std::string database = CrlfLines({"C:\\{", "a.txt", "}", "C:\\odd:dir\\{", "o.txt", "}", "C:\\Sep\\{", "x\x7fy",
                                            "z.txt", "}", "stray", "C:\\Last\\{", "}"});
    std::string changes;
    EXPECT_TRUE(MergeFolderLists(LineTable(current), LineTable(database), changes, RunHooks{}));
    EXPECT_EQ(changes, CrlfLines({"C:\\Sep\\{", "new.txt", "}", "!new:odd\\{", "}", "!C:\\Missing\\{", "}"}));
}

TEST(IgnoreList, AFolderIsIgnoredOnlyByAnEntryThatIsExactlyItsPath) {
    const struct {
        std::string list;
        bool ignored;
    } cases[] = {
        {"x\\" + kSep + "c:\\temp\\" + kSep, true},  // in any letter case
        {"C:\\TEMP\\OLD\\" + kSep, false},             // only the beginning of a longer entry
        // Only the first occurrence is looked at, even when a later entry is exact.
        {"C:\\TEMP\\OLD\\" + kSep + "C:\\TEMP\\" + kSep, false},
        {"C:\\TEMP\\", false},  // no 127 after it
    };
    for (const auto& c : cases) EXPECT_EQ(IsIgnoredFolder(c.list, "C:\\Temp"), c.ignored) << c.list;

    FakeSystem system;
    std::string expected = "C:\\windows\\History\\" + kSep + "E:\\Recycled\\" + kSep + "E:\\Recycler\\" + kSep;
    for (const char* bin : {"Recycled", "Recycler"})
        for (char drive : std::string("DEFGH")) expected += std::string(1, drive) + ":\\" + bin + "\\" + kSep;
    EXPECT_EQ(BuildIgnoreList(system, "E:\\", "C:\\Junk\\" + kSep), expected + "C:\\Junk\\" + kSep);
}

TEST(ScanFolder, LeavesOutIgnoredDotAndKorvexEntriesAndCountsFolders) {
    MemoryFiles files;
    for (const char* path : {"C:\\a.txt", "C:\\report.KVD", "C:\\report.KVU", "C:\\report.kvu", "C:\\.profile",
                             "C:\\.config\\x", "C:\\TEMP\\t.tmp", "C:\\TEMP\\OLD\\o.tmp", "C:\\Recycled\\r", "C:\\X\\c.txt"})
        files.put(path, "");
    files.unreadable.insert("C:\\X");
    StringOutput out;
    double counter = 0;
    ScanFolder(files, "C:\\", out, "C:\\Recycled\\" + kSep + "C:\\TEMP\\OLD\\" + kSep, counter, RunHooks{});
    // C:\TEMP is walked (its path only begins the entry C:\TEMP\OLD\), C:\TEMP\OLD is not.
    EXPECT_EQ(out.text, CrlfLines({"C:\\{", "a.txt", "report.KVU", ".profile", "}", "C:\\TEMP\\{", "t.tmp", "}",
                                   "C:\\X\\{", "}"}));
    EXPECT_EQ(counter, 2);  // TEMP and X; not the root

    // Beyond the names above: the extension is looked for at every ".", not only the last.
    for (const char* name : {"a.kvd.bak", "..kvd", "a.kvu2"}) EXPECT_TRUE(IsKorvexFile(name)) << name;
    for (const char* name : {"x.Kvu", "a.kv", "a.kvx", ""}) EXPECT_FALSE(IsKorvexFile(name)) << name;
}

// Stopped at the second yield, after the root was listed: its folders are counted, and
// move the bar, but are not walked.
TEST(ScanFolder, MovesTheBarEveryThreeHundredFoldersAndStops) {
    MemoryFiles many;
    for (int i = 0; i < 650; ++i) many.createFolder("C:\\f" + std::to_string(i));
    FindProgress progress;
    std::vector<double> positions;
    progress.onChange = [&](double position, double) { positions.push_back(position); };
    ScriptedPrompt prompt;
    bool stop = false;
    prompt.onYield = [&] { stop = prompt.yields == 2; };
    StringOutput out;
    double folders = 0;
    EXPECT_EQ(ScanFolder(many, "C:\\", out, "", folders, RunHooks{&prompt, &stop, &progress}), 650);
    EXPECT_EQ(positions, (std::vector<double>{2, 4}));  // folders 300 and 600
    EXPECT_EQ(out.text, CrlfLines({"C:\\{", "}"}));
}

TEST(LineTable, GivesTheSameLinesAsTheReaders) {
    for (const char* text : {"", "a", "a\r\n", "a\rb\nc\r\nd", "a\r\r\n\r\n", "\n\n", "x\r", "}\r\n{\r\n\r\n"}) {
        const LineTable table(text);
        std::vector<std::string_view> lines;
        for (std::size_t i = 0; i < table.size(); ++i) lines.push_back(table[i]);
        EXPECT_EQ(lines, LineViews(text)) << text;
    }
    EXPECT_EQ(LineViews("a\r\r\nb"), (std::vector<std::string_view>{"a", "", "b"}));
}

}  // namespace
}  // namespace korvex::test
