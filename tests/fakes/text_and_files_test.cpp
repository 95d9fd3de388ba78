// The shared text helpers and the in-memory file system that logic tests stand on.
#include <gtest/gtest.h>

#include "platform/fake/memory_files.h"
#include "platform/text.h"

namespace korvex {
namespace {

TEST(Text, LinesEndAtCrLfCrOrLfAndListsKeepEmptyEntries) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitList("x\x7f\x7fy\x7f"), (std::vector<std::string>{"x", "", "y"}));
    EXPECT_EQ(CompareNoCase("Software", "SOFTWARE"), 0);
    EXPECT_LT(CompareNoCase("_a", "A"), 0);  // '_' sorts before letters once both are lower case
    EXPECT_LT(CompareNoCase("abc", "abcd"), 0);
    EXPECT_EQ(FindNoCase("C:\\Program FILES\\x", "files"), 11u);
    EXPECT_EQ(FindNoCase("abc", "x"), std::string_view::npos);
}

TEST(MemoryFiles, ListsInCreationOrderAndFailsWhereTold) {
    MemoryFiles fs;
    fs.put("C:\\b.txt", "1");
    fs.put("C:\\A\\c.txt", "22");
    fs.put("C:\\a.txt", "333");
    std::string order;
    EXPECT_TRUE(fs.listFolder("c:\\", [&](std::string_view n, bool folder) {
        order += std::string(n) + (folder ? "/" : "") + ",";
    }));
    EXPECT_EQ(order, "b.txt,A/,a.txt,");
    EXPECT_EQ(fs.info("C:\\a\\C.TXT").size, 2u);

    fs.unreadable.insert("C:\\A\\");
    EXPECT_FALSE(fs.listFolder("C:\\A", [](std::string_view, bool) {}));
    fs.readOnly.insert("c:\\b.txt");
    EXPECT_FALSE(fs.deleteFile("C:\\b.txt"));
    EXPECT_FALSE(fs.moveFile("C:\\b.txt", "C:\\d.txt"));
    EXPECT_TRUE(fs.deleteFile("C:\\never.txt"));  // already gone counts as done

    {
        auto out = fs.createFile("C:\\list.kvd");
        ASSERT_TRUE(out);
        out->write("C:\\{\r\n");
    }  // closing on destruction keeps what was written, as a real file does
    EXPECT_EQ(fs.contents("C:\\list.kvd"), "C:\\{\r\n");
    EXPECT_TRUE(fs.moveFile("C:\\list.kvd", "C:\\A\\Cdbase.kvd"));
    EXPECT_EQ(fs.tree("C:\\A"), (std::vector<std::string>{"C:\\A\\Cdbase.kvd", "C:\\A\\c.txt"}));
    EXPECT_EQ(fs.createFile("C:\\Nowhere\\x"), nullptr);
}

}  // namespace
}  // namespace korvex
