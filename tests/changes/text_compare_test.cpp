// The comparison of the system text files with their saved copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "changes/text_compare.h"
#include "tests/support/text_lines.h"

namespace korvex {
namespace {

using test::CrlfLines;

struct Result {
    std::vector<std::string> added, replaced;
};

Result compare(const std::string& saved, const std::string& live) {
    std::string added, replaced;
    CompareTextFiles(saved, live, added, replaced);
    return {ListElements(added), ListElements(replaced)};
}

using V = std::vector<std::string>;

TEST(TextCompare, PairsEachAddedLineWithTheLineItReplaced) {
    const std::string autoexec = CrlfLines({"@ECHO OFF", "PATH=C:\\DOS", "SET TEMP=C:\\TEMP"});

    // Identical files: nothing.
    Result same = compare(autoexec, autoexec);
    EXPECT_EQ(same.added, V{});
    EXPECT_EQ(same.replaced, V{});

    // A line appended at the end: paired with " ".
    Result appended = compare(autoexec, autoexec + "C:\\NEW\\TSR.EXE\r\n");
    EXPECT_EQ(appended.added, V{"C:\\NEW\\TSR.EXE"});
    EXPECT_EQ(appended.replaced, V{" "});

    // A line changed in the middle: paired with the old line.
    Result changed = compare(autoexec, CrlfLines({"@ECHO OFF", "PATH=C:\\DOS;C:\\NEW", "SET TEMP=C:\\TEMP"}));
    EXPECT_EQ(changed.added, V{"PATH=C:\\DOS;C:\\NEW"});
    EXPECT_EQ(changed.replaced, V{"PATH=C:\\DOS"});

    // A line inserted before an unchanged line is a pure addition.
    Result inserted = compare(autoexec, CrlfLines({"@ECHO OFF", "LH C:\\NEW\\TSR.EXE", "PATH=C:\\DOS", "SET TEMP=C:\\TEMP"}));
    EXPECT_EQ(inserted.added, V{"LH C:\\NEW\\TSR.EXE"});
    EXPECT_EQ(inserted.replaced, V{" "});

    // Reordered lines, letter case and blank lines add nothing.
    EXPECT_EQ(compare(autoexec, CrlfLines({"SET TEMP=C:\\TEMP", "@ECHO OFF", "PATH=C:\\DOS"})).added, V{});
    EXPECT_EQ(compare(autoexec, CrlfLines({"@echo off", "path=c:\\dos", "SET TEMP=C:\\TEMP"})).added, V{});
    EXPECT_EQ(compare(autoexec, CrlfLines({"@ECHO OFF", "", "PATH=C:\\DOS", "", "SET TEMP=C:\\TEMP", ""})).added, V{});
    // A line that differs only in trailing blanks is another line.
    EXPECT_EQ(compare(autoexec, CrlfLines({"@ECHO OFF ", "PATH=C:\\DOS", "SET TEMP=C:\\TEMP"})).added, V{"@ECHO OFF "});
}

TEST(TextCompare, EmptyFilesAndWinIniSections) {
    // The live file emptied: nothing added.
    EXPECT_EQ(compare(CrlfLines({"a", "b"}), "").added, V{});
    // The copy empty: every line added, each replacing nothing.
    Result fresh = compare("", CrlfLines({"a", "b"}));
    EXPECT_EQ(fresh.added, (V{"a", "b"}));
    EXPECT_EQ(fresh.replaced, (V{" ", " "}));

    // One changed win.ini line at the same position: paired with the line it replaced.
    const std::string saved = CrlfLines({"[windows]", "load=", "run=", "", "[mail]", "MAPI=1"});
    Result ini = compare(saved, CrlfLines({"[windows]", "load=C:\\NEW\\AGENT.EXE", "run=", "", "[mail]", "MAPI=1"}));
    EXPECT_EQ(ini.added, V{"load=C:\\NEW\\AGENT.EXE"});
    EXPECT_EQ(ini.replaced, V{"load="});

    // Two added lines replacing the same line, and a repeated line at its two places.
    Result twice = compare(CrlfLines({"x=1", "end"}), CrlfLines({"x=2", "end", "y", "x=2", "end"}));
    EXPECT_EQ(twice.added, (V{"x=2", "y", "x=2"}));
    EXPECT_EQ(twice.replaced, (V{"x=1", " ", "x=1"}));
}

}  // namespace
}  // namespace korvex
