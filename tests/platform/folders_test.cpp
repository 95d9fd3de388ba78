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
        {0, true, '.', "0KB"},
        {512, true, '.', "0KB"},
        {513, true, '.', "1KB"},
        {1024, true, '.', "1KB"},
        {1126, true, '.', "1KB"},           // 1.0996: the digit is 0
        {1536, true, '.', "1.5 KB"},
        {1536, false, '.', "1KB"},
        {1048576, true, '.', "1024KB"},     // exactly 1024 KB stays in KB
        {1048577, true, '.', "1MB"},
        {1610612736, true, '.', "1.5 GB"},
        {5637144576.0, true, '.', "5.2 GB"},  // 5.25 truncated, not rounded
        {5637144576.0, false, '.', "5GB"},
        {1024.0 * 1024 * 1024 * 1024 * 3, true, '.', "3"},  // past GB there is no unit
        {2136746230.0, true, '.', "1.9 GB"},  // 1.99 GB
        // A comma locale still shows the point.
        {1536, true, ',', "1.5 KB"},
        {1610612736, true, ',', "1.5 GB"},
        {1048577, true, ',', "1MB"},
        {1536, false, ',', "1KB"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatSize(row.bytes, row.decimal, row.separator), row.text) << row.bytes << " " << row.separator;
}

TEST(LastIndexOf, OneBasedWithoutRegardToCase) {
    EXPECT_EQ(LastIndexOf("C:\\A\\b.TXT", "\\"), 5u);
    EXPECT_EQ(LastIndexOf("abc", "x"), 0u);
    EXPECT_EQ(LastIndexOf("ABab", "ab"), 3u);
    EXPECT_EQ(LastIndexOf("aaaa", "aa"), 3u);  // overlapping matches count
    EXPECT_EQ(LastIndexOf("File.Tmp.TMP", ".tmp"), 9u);
    EXPECT_EQ(LastIndexOf("", "a"), 0u);
    EXPECT_EQ(LastIndexOf("a", "abc"), 0u);
}

TEST(FolderGetters, AppendBackslashOnceAndKeepEmpty) {
    FakeSystem system;
    EXPECT_EQ(WindowsFolder(system), "C:\\windows\\");
    EXPECT_EQ(SystemFolder(system), "C:\\windows\\system32\\");
    EXPECT_EQ(ProgramFilesFolder(system), "C:\\Program Files\\");
    EXPECT_EQ(AppDataFolder(system), "C:\\users\\user\\AppData\\Roaming\\");
    EXPECT_EQ(CookiesFolder(system), "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\");
    EXPECT_EQ(InternetCacheFolder(system), "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache\\");
    EXPECT_EQ(RecentFolder(system), "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\");
    EXPECT_EQ(FavoritesFolder(system), "C:\\users\\user\\Favorites\\");
    EXPECT_EQ(HistoryFolder(system), "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\History\\");
    EXPECT_EQ(WindowsDriveRoot(system), "C:\\");
    EXPECT_EQ(GetFolderPath(system, CSIDL_FAVORITES), "C:\\users\\user\\Favorites");

    system.folders[CSIDL_RECENT] = "C:\\Recent\\";  // already ends in "\": not doubled
    EXPECT_EQ(RecentFolder(system), "C:\\Recent\\");
    system.folders.erase(CSIDL_COOKIES);  // a folder the machine cannot name
    EXPECT_EQ(CookiesFolder(system), "");
    system.folders.erase(CSIDL_WINDOWS);
    EXPECT_EQ(WindowsFolder(system), "");
    EXPECT_EQ(WindowsDriveRoot(system), "");
}

TEST(FolderGetters, HistoryOnlyOnNtAndDriveRootOfAnotherDrive) {
    FakeSystem system;
    system.platform = VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_EQ(HistoryFolder(system), "");
    EXPECT_EQ(FavoritesFolder(system), "C:\\users\\user\\Favorites\\");  // other folders still there

    system.platform = VER_PLATFORM_WIN32_NT;
    system.folders[CSIDL_WINDOWS] = "D:\\WINNT";
    EXPECT_EQ(WindowsDriveRoot(system), "D:\\");
}

// A machine whose temporary folder may be missing: the long form exists only for
// folders in `existing`, as GetLongPathName reports.
class TempSystem : public FakeSystem {
public:
    std::string longPathName(std::string_view path) override {
        for (const auto& [shortForm, longForm] : existing)
            if (shortForm == path) return longForm;
        return "";
    }
    std::vector<std::pair<std::string, std::string>> existing;
};

TEST(TempFolder, LongFormShortFormAndNone) {
    TempSystem system;
    system.temp = "C:\\users\\user\\Temp";  // no "\" from the machine: added
    EXPECT_EQ(TempFolder(system), "C:\\users\\user\\Temp\\");

    system.existing = {{"C:\\users\\user\\Temp\\", "C:\\users\\User\\Temporary Files"}};
    EXPECT_EQ(TempFolder(system), "C:\\users\\User\\Temporary Files\\");

    system.temp = "";
    EXPECT_EQ(TempFolder(system), "");
}

TEST(FolderSize, SumsTheTreeAndGivesZeroOnAnyFailure) {
    MemoryFiles files;
    files.put("C:\\data\\a.bin", std::string(1000, 'a'));
    files.put("C:\\data\\sub\\b.bin", std::string(24, 'b'));
    files.put("C:\\data\\sub\\deeper\\c.bin", std::string(1, 'c'));
    files.put("C:\\other.bin", std::string(5000, 'o'));
    EXPECT_EQ(FolderSize(files, "C:\\data"), 1025);
    EXPECT_EQ(FolderSize(files, "C:\\data\\"), 1025);
    EXPECT_EQ(FolderSize(files, "C:\\"), 6025);
    EXPECT_EQ(FolderSize(files, "C:\\missing"), 0);
    files.unreadable.insert("C:\\data\\sub\\deeper");
    EXPECT_EQ(FolderSize(files, "C:\\data"), 0);  // access denied below it
}

TEST(ShellHelpers, BrowseStripsTheBackslashAndOpenGoesToTheMachine) {
    ScriptedPrompt prompt;
    prompt.picks = {"D:\\Saved\\", "", "E:\\"};
    EXPECT_EQ(BrowseForFolder(prompt, "Move to"), "D:\\Saved");
    EXPECT_EQ(BrowseForFolder(prompt, "Move to"), "");
    EXPECT_EQ(BrowseForFolder(prompt, "Move to"), "E:\\");

    FakeSystem system;
    OpenWithShell(system, "C:\\report.txt");
    ASSERT_EQ(system.opened.size(), 1u);
    EXPECT_EQ(system.opened[0], "C:\\report.txt");

    MemoryFiles files;
    files.put("C:\\x.dll", "x");
    EXPECT_FALSE(IsFileInUse(files, "C:\\x.dll"));
    EXPECT_FALSE(IsFileInUse(files, "C:\\gone.dll"));
    files.inUse.insert("C:\\X.DLL");
    EXPECT_TRUE(IsFileInUse(files, "C:\\x.dll"));
}

}  // namespace
}  // namespace korvex
