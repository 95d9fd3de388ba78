// The comparison of the system text files with their saved copies. A line appended at
// the end and a win.ini line changed in place are part of the whole run in find_changes_test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "changes/text_compare.h"
#include "tests/support/text_lines.h"

namespace korvex::test {
namespace {

using V = std::vector<std::string>;

TEST(TextCompare, PairsEachAddedLineWithTheLineItReplaced) {
    const std::string autoexec = CrlfLines({"@ECHO OFF", "PATH=C:\\DOS", "SET TEMP=C:\\TEMP"});
    const struct {
        const char* name;
        std::string saved, live;
        V added, replaced;
    } cases[] = {
        {"reordered lines", autoexec, CrlfLines({"SET TEMP=C:\\TEMP", "@ECHO OFF", "PATH=C:\\DOS"}), {}, {}},
        {"letter case", autoexec, CrlfLines({"@echo off", "path=c:\\dos", "SET TEMP=C:\\TEMP"}), {}, {}},
        {"blank lines", autoexec, CrlfLines({"@ECHO OFF", "", "PATH=C:\\DOS", "", "SET TEMP=C:\\TEMP", ""}), {}, {}},
        {"the copy empty", "", CrlfLines({"a", "b"}), {"a", "b"}, {" ", " "}},
        {"two added lines replacing one, a repeated line at its two places", CrlfLines({"x=1", "end"}),
         CrlfLines({"x=2", "end", "y", "x=2", "end"}), {"x=2", "y", "x=2"}, {"x=1", " ", "x=1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string added, replaced;
        CompareTextFiles(c.saved, c.live, added, replaced);
        EXPECT_EQ(ListElements(added), c.added);
        EXPECT_EQ(ListElements(replaced), c.replaced);
    }
}

}  // namespace
}  // namespace korvex::test
