// The folder getters, size texts and path helpers, over the in-memory machine.
#include <gtest/gtest.h>

#include "platform/fake/fake_system.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/folders.h"

namespace korvex {
namespace {

TEST(FormatSize, TableWithDecimalOnAndOffAndEitherSeparator) {
    struct Row { double bytes; bool decimal; char separator; const char* text; };
    const Row rows[] = {
        {512, true, '.', "0KB"},
        {513, true, '.', "1KB"},
        {1024, true, '.', "1KB"},
        {1126, true, '.', "1KB"},           // 1.0996: the digit is 0
        {1536, true, '.', "1.5 KB"},
        {1536, false, '.', "1KB"},
        {1048576, true, '.', "1024KB"},     // exactly 1024 KB stays in KB
        {1048577, true, '.', "1MB"},
        {5637144576.0, true, '.', "5.2 GB"},  // 5.25 truncated, not rounded
        {1024.0 * 1024 * 1024 * 1024 * 3, true, '.', "3"},  // past GB there is no unit
        {1610612736, true, ',', "1.5 GB"},  // a comma locale still shows the point
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatSize(row.bytes, row.decimal, row.separator), row.text) << row.bytes << " " << row.separator;
}

TEST(LastIndexOf, OneBasedWithoutRegardToCase) {
    EXPECT_EQ(LastIndexOf("abc", "x"), 0u);
    EXPECT_EQ(LastIndexOf("ABab", "ab"), 3u);
    EXPECT_EQ(LastIndexOf("aaaa", "aa"), 3u);  // overlapping matches count
}

TEST(FolderGetters, AppendBackslashOnceAndKeepEmpty) {
    FakeSystem system;
    EXPECT_EQ(HistoryFolder(system), "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\History\\");
    system.folders[CSIDL_WINDOWS] = "D:\\WINNT";
    EXPECT_EQ(WindowsDriveRoot(system), "D:\\");

    system.temp = "C:\\users\\user\\Temp";  // no "\" from the machine: added (long forms: WineSystem tests)
    EXPECT_EQ(TempFolder(system), "C:\\users\\user\\Temp\\");
    system.folders[CSIDL_RECENT] = "C:\\Recent\\";  // already ends in "\": not doubled
    EXPECT_EQ(RecentFolder(system), "C:\\Recent\\");
    system.folders.erase(CSIDL_COOKIES);  // a folder the machine cannot name
    EXPECT_EQ(CookiesFolder(system), "");
    system.folders.erase(CSIDL_WINDOWS);
    EXPECT_EQ(WindowsFolder(system), "");
    EXPECT_EQ(WindowsDriveRoot(system), "");
    system.platform = VER_PLATFORM_WIN32_WINDOWS;  // the 95 family keeps no History folder
    EXPECT_EQ(HistoryFolder(system), "");
}

TEST(FolderSize, SumsTheTreeAndGivesZeroOnAnyFailure) {
    MemoryFiles files;
    files.put("C:\\data\\a.bin", std::string(1000, 'a'));
    files.put("C:\\data\\sub\\b.bin", std::string(24, 'b'));
    files.put("C:\\data\\sub\\deeper\\c.bin", std::string(1, 'c'));
    files.put("C:\\other.bin", std::string(5000, 'o'));
    for (const char* folder : {"C:\\data", "C:\\data\\"}) EXPECT_EQ(FolderSize(files, folder), 1025) << folder;
    EXPECT_EQ(FolderSize(files, "C:\\"), 6025);
    files.unreadable.insert("C:\\data\\sub\\deeper");
    EXPECT_EQ(FolderSize(files, "C:\\data"), 0);  // access denied below it
}

TEST(BrowseForFolder, StripsTheBackslashButNotADriveRoots) {
    ScriptedPrompt prompt;
    prompt.picks = {"D:\\Saved\\", "E:\\"};
    EXPECT_EQ(BrowseForFolder(prompt, "Move to"), "D:\\Saved");
    EXPECT_EQ(BrowseForFolder(prompt, "Move to"), "E:\\");

    FakeSystem system;  // and a document is opened on the machine, not the host
    OpenWithShell(system, "C:\\report.txt");
    EXPECT_EQ(system.opened, std::vector<std::string>{"C:\\report.txt"});
}

}  // namespace
}  // namespace korvex
