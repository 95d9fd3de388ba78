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

namespace korvex {
namespace {

using test::CrlfLines;

std::string merge(const std::string& current, const std::string& database, double* steps = nullptr) {
    FindProgress progress;
    progress.setMaximum(1000);
    RunHooks hooks;
    hooks.progress = &progress;
    std::string changes;
    EXPECT_TRUE(MergeFolderLists(LineTable(current), LineTable(database), changes, hooks));
    if (steps) *steps = progress.position();
    return changes;
}

TEST(FileMerge, ReportsNewFoldersOnceAndAddedFilesUnderTheirFolder) {
    const std::string database = CrlfLines({"C:\\{", "a.txt", "}", "C:\\OLD\\{", "o.txt", "}", "C:\\WINDOWS\\{", "win.ini", "}"});

    // A new folder with a sub folder and files: one "!" section, nothing under it.
    const std::string withNewFolder = CrlfLines({"C:\\{", "a.txt", "}", "C:\\NEW\\{", "n.txt", "}", "C:\\NEW\\SUB\\{",
                                             "s.txt", "}", "C:\\OLD\\{", "o.txt", "}", "C:\\WINDOWS\\{", "win.ini", "}"});
    double steps = 0;
    EXPECT_EQ(merge(withNewFolder, database, &steps), CrlfLines({"!C:\\NEW\\{", "}"}));
    EXPECT_EQ(steps, 5);  // one step per current section, the skipped one included

    // A new file in an existing folder: the header, the name, "}".
    const std::string withNewFile =
        CrlfLines({"C:\\{", "a.txt", "}", "C:\\OLD\\{", "o.txt", "}", "C:\\WINDOWS\\{", "win.ini", "newlib.dll", "newctl.ocx", "}"});
    EXPECT_EQ(merge(withNewFile, database), CrlfLines({"C:\\WINDOWS\\{", "newlib.dll", "newctl.ocx", "}"}));

    // Names and headers that differ only in letter case are not new.
    const std::string otherCase = CrlfLines({"c:\\{", "A.TXT", "}", "C:\\old\\{", "O.txt", "}", "C:\\Windows\\{", "WIN.INI", "}"});
    EXPECT_EQ(merge(otherCase, database), "");

    // Removed files and folders are not reported; an empty current list gives nothing.
    EXPECT_EQ(merge(CrlfLines({"C:\\{", "}"}), database), "");
    EXPECT_EQ(merge("", database), "");

    // The example of the change list format: a new folder and two added files.
    const std::string installed =
        CrlfLines({"C:\\{", "a.txt", "}", "C:\\OLD\\{", "o.txt", "}", "C:\\Program Files\\NewApp\\{", "app.exe", "}",
               "C:\\WINDOWS\\{", "win.ini", "}", "C:\\WINDOWS\\SYSTEM\\{", "newlib.dll", "newctl.ocx", "}"});
    const std::string database2 = database + CrlfLines({"C:\\WINDOWS\\SYSTEM\\{", "}"});
    EXPECT_EQ(merge(installed, database2), CrlfLines({"!C:\\Program Files\\NewApp\\{", "}", "C:\\WINDOWS\\SYSTEM\\{",
                                                  "newlib.dll", "newctl.ocx", "}"}));
}

TEST(FileMerge, FindsSectionsThatComeEarlierInTheDatabase) {
    // The database lists B before A, the current list A before B: A is found by the
    // search round the ring, and B again after it.
    const std::string database = CrlfLines({"C:\\{", "}", "C:\\B\\{", "b.txt", "}", "C:\\A\\{", "a.txt", "}"});
    const std::string current = CrlfLines({"C:\\{", "}", "C:\\A\\{", "a.txt", "a2.txt", "}", "C:\\B\\{", "b.txt", "}"});
    EXPECT_EQ(merge(current, database), CrlfLines({"C:\\A\\{", "a2.txt", "}"}));
}

TEST(FileMerge, OddLinesAreComparedWithoutTheIndexes) {
    // Headers with a second ":" or none, names holding character 127, and a stray line
    // where a section should begin: searched line by line, with the same results.
    const std::string database = CrlfLines({"C:\\{", "a.txt", "}", "C:\\odd:dir\\{", "o.txt", "}", "C:\\Sep\\{",
                                            "x\x7fy", "z.txt", "}", "stray", "C:\\Last\\{", "}"});
    const std::string current = CrlfLines({"C:\\{", "a.txt", "}", "C:\\Sep\\{", "z.txt", "X\x7fY", "new.txt", "}",
                                           "C:\\odd:dir\\{", "o.txt", "}", "new:odd\\{", "}", "new:odd\\sub\\{", "n.txt",
                                           "}", "C:\\Missing\\{", "}", "C:\\Last\\{", "}"});
    EXPECT_EQ(merge(current, database), CrlfLines({"C:\\Sep\\{", "new.txt", "}", "!new:odd\\{", "}",
                                                   "!C:\\Missing\\{", "}"}));
}

TEST(FileMerge, JoinsTheSelectedDrivesDatabasesInDriveOrder) {
    MemoryFiles files;
    files.put("C:\\Korvex\\Cdbase.kvd", CrlfLines({"C:\\{", "c.txt", "}"}));
    files.put("C:\\Korvex\\Ddbase.kvd", CrlfLines({"D:\\{", "d.txt", "}"}));
    files.put("C:\\current.kvd", CrlfLines({"C:\\{", "c.txt", "}", "D:\\{", "d.txt", "e.txt", "}", "D:\\X\\{", "}"}));
    files.put("C:\\dbase.kvd", "stale");
    // While the comparison runs, root "dbase.kvd" holds the joined databases.
    ScriptedPrompt prompt;
    std::string joined;
    prompt.onYield = [&] { joined = files.contents("C:\\dbase.kvd"); };
    RunHooks hooks{&prompt, nullptr, nullptr};
    ASSERT_TRUE(CompareFolderLists(files, "C:\\", "C:\\Korvex\\", "C:,D:", hooks));
    EXPECT_EQ(joined, CrlfLines({"C:\\{", "c.txt", "}", "D:\\{", "d.txt", "}"}));
    EXPECT_EQ(files.contents("C:\\changes.kvd"), CrlfLines({"D:\\{", "e.txt", "}", "!D:\\X\\{", "}"}));
    EXPECT_FALSE(files.exists("C:\\current.kvd"));
    EXPECT_FALSE(files.exists("C:\\dbase.kvd"));
}

TEST(FileMerge, StopsAtTheStopFlag) {
    const std::string database = CrlfLines({"C:\\{", "}", "C:\\A\\{", "}"});
    const std::string current = CrlfLines({"C:\\{", "new.txt", "}", "C:\\A\\{", "}"});
    ScriptedPrompt prompt;
    bool stop = false;
    prompt.onYield = [&] { stop = true; };
    RunHooks hooks{&prompt, &stop, nullptr};
    std::string changes;
    EXPECT_FALSE(MergeFolderLists(LineTable(current), LineTable(database), changes, hooks));
}

TEST(IgnoreList, AFolderIsIgnoredOnlyByAnEntryThatIsExactlyItsPath) {
    const std::string sep(1, '\x7f');
    EXPECT_TRUE(IsIgnoredFolder("C:\\TEMP\\" + sep, "C:\\TEMP"));
    EXPECT_TRUE(IsIgnoredFolder("x\\" + sep + "c:\\temp\\" + sep, "C:\\Temp"));
    // Only the beginning of a longer entry: walked.
    EXPECT_FALSE(IsIgnoredFolder("C:\\TEMP\\OLD\\" + sep, "C:\\TEMP"));
    // Only the first occurrence is looked at, even when a later entry is exact.
    EXPECT_FALSE(IsIgnoredFolder("C:\\TEMP\\OLD\\" + sep + "C:\\TEMP\\" + sep, "C:\\TEMP"));
    // An entry of which the path is only the end: the first occurrence decides.
    EXPECT_TRUE(IsIgnoredFolder("D:\\C:\\TEMP\\" + sep, "C:\\TEMP"));
    EXPECT_FALSE(IsIgnoredFolder("", "C:\\TEMP"));
    EXPECT_FALSE(IsIgnoredFolder("C:\\TEMP\\", "C:\\TEMP"));  // no 127 after it

    FakeSystem system;
    const std::string list = BuildIgnoreList(system, "E:\\", "C:\\Junk\\" + sep);
    EXPECT_EQ(list, "C:\\windows\\History\\" + sep + "E:\\Recycled\\" + sep + "E:\\Recycler\\" + sep +
                        "D:\\Recycled\\" + sep + "E:\\Recycled\\" + sep + "F:\\Recycled\\" + sep + "G:\\Recycled\\" +
                        sep + "H:\\Recycled\\" + sep + "D:\\Recycler\\" + sep + "E:\\Recycler\\" + sep +
                        "F:\\Recycler\\" + sep + "G:\\Recycler\\" + sep + "H:\\Recycler\\" + sep + "C:\\Junk\\" + sep);
}

using StringOut = test::StringOutput;

TEST(ScanFolder, LeavesOutIgnoredDotAndKorvexEntriesAndCountsFolders) {
    MemoryFiles files;
    files.put("C:\\a.txt", "");
    files.put("C:\\report.KVD", "");
    files.put("C:\\report.KVU", "");
    files.put("C:\\report.kvu", "");
    files.put("C:\\.profile", "");
    files.put("C:\\.config\\x", "");
    files.put("C:\\TEMP\\t.tmp", "");
    files.put("C:\\TEMP\\OLD\\o.tmp", "");
    files.put("C:\\Recycled\\r", "");
    files.put("C:\\X\\c.txt", "");
    files.unreadable.insert("C:\\X");
    const std::string sep(1, '\x7f');
    StringOut out;
    double counter = 0;
    RunHooks hooks;
    ScanFolder(files, "C:\\", out, "C:\\Recycled\\" + sep + "C:\\TEMP\\OLD\\" + sep, counter, hooks);
    // C:\TEMP is walked (its path only begins the entry C:\TEMP\OLD\), C:\TEMP\OLD is not.
    EXPECT_EQ(out.text, CrlfLines({"C:\\{", "a.txt", "report.KVU", ".profile", "}", "C:\\TEMP\\{", "t.tmp", "}",
                               "C:\\X\\{", "}"}));
    EXPECT_EQ(counter, 2);  // TEMP and X; not the root

    // Folder 300 and 600 move the bar to 2 and 4.
    MemoryFiles many;
    for (int i = 0; i < 650; ++i) many.createFolder("C:\\f" + std::to_string(i));
    FindProgress progress;
    std::vector<double> positions;
    progress.onChange = [&](double position, double) { positions.push_back(position); };
    RunHooks counting{nullptr, nullptr, &progress};
    StringOut discard;
    double folders = 0;
    EXPECT_EQ(ScanFolder(many, "C:\\", discard, "", folders, counting), 650);
    EXPECT_EQ(positions, (std::vector<double>{2, 4}));
}

TEST(ScanFolder, KorvexFilesAreThoseContainingDotKvdInAnyCaseOrDotKvuExactly) {
    for (const char* name : {"Cdbase.kvd", "x.KvD", "a.kvd.bak", "..kvd", "old.kvu", "a.kvu2", "..kvu"})
        EXPECT_TRUE(IsKorvexFile(name)) << name;
    for (const char* name : {"x.KVU", "x.Kvu", "a.kv", "kvd", "a.kvx", ".kv", "", "x.k.vd"})
        EXPECT_FALSE(IsKorvexFile(name)) << name;
}

TEST(ScanFolder, WritesNothingMoreOnceStopped) {
    MemoryFiles files;
    files.put("C:\\A\\a.txt", "");
    files.put("C:\\B\\b.txt", "");
    ScriptedPrompt prompt;
    bool stop = false;
    prompt.onYield = [&] { stop = prompt.yields == 2; };
    StringOut out;
    double counter = 0;
    ScanFolder(files, "C:\\", out, "", counter, RunHooks{&prompt, &stop, nullptr});
    EXPECT_EQ(out.text, CrlfLines({"C:\\{", "}"}));
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

TEST(LineTable, GivesTheSameLinesAsTheReaders) {
    for (const char* text : {"", "a", "a\r\n", "a\rb\nc\r\nd", "a\r\r\n\r\n", "\n\n", "x\r", "}\r\n{\r\n\r\n"}) {
        const LineTable table(text);
        const auto views = LineViews(text);
        ASSERT_EQ(table.size(), views.size()) << text;
        for (std::size_t i = 0; i < views.size(); ++i) EXPECT_EQ(table[i], views[i]) << text;
    }
    EXPECT_EQ(LineViews("a\r\r\nb"), (std::vector<std::string_view>{"a", "", "b"}));
}

}  // namespace
}  // namespace korvex
