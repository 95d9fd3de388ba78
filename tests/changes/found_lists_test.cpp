// The found-changes lists as data: loading the change list files, pruning, disabled
// scans, selection commands, the size sort key and the rows that go into a saved file.
#include <gtest/gtest.h>

#include <algorithm>

#include "changes/change_lists.h"
#include "removal/found_lists.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

FoundRow row(std::string text, std::string sub1 = {}) {
    FoundRow r;
    r.text = std::move(text);
    r.sub1 = std::move(sub1);
    return r;
}

const std::string kDel(1, '\x7f');

struct Machine : test::MemoryMachine {
    void scanning(std::string_view name, std::string_view value) {
        registry.setString("HKCU\\Software\\Korvex!\\Scanning", name, value);
    }
};

std::vector<std::string> texts(const std::vector<FoundRow>& rows) {
    std::vector<std::string> r;
    for (const auto& row : rows) r.push_back(row.text);
    return r;
}

TEST(FoundLists, LoadsTheSixListsAndDeletesTheChangeListFiles) {
    Machine m;
    m.scanning("WinIniScan", "1");
    m.scanning("AutoexecScan", "1");
    m.scanning("RegScan", "1");
    m.files.put("C:\\Program Files\\NewApp\\app.exe", std::string(3000, 'x'));
    m.files.put("C:\\Program Files\\NewApp\\sub\\data.bin", std::string(2000, 'x'));
    m.files.put("C:\\windows\\system32\\newlib.dll", std::string(1500, 'x'));
    m.files.put("C:\\windows\\newapp.ini", std::string(100, 'x'));
    // C:\windows\gone.dll is listed but was deleted before the window opened.
    m.files.put("C:\\changes.kvd",
                "!C:\\Program Files\\NewApp\\{\r\n}\r\n"
                "C:\\windows\\system32\\{\r\nnewlib.dll\r\n}\r\n"
                "C:\\windows\\{\r\nnewapp.ini\r\ngone.dll\r\n}\r\n");
    m.files.put("C:\\SysChanges.kvd",
                "Autoexec.bat{\r\nSET A=1" + kDel + "\r\n " + kDel + "\r\n}\r\n"
                "Win.ini{\r\nload=new.exe" + kDel + "[New]" + kDel + "\r\nload=" + kDel + " " + kDel + "\r\n}\r\n");
    m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "x", "1");
    m.registry.setString("HKLM\\Software\\NewVendor", "y", "1");
    m.files.put("C:\\hkcuchanges.kvd", "Software\\NewVendor\r\nSoftware\\Vanished\r\n");
    m.files.put("C:\\hklmchanges.kvd", "Software\\NewVendor\r\n");

    FoundLists lists = LoadFoundLists(m.services, m.access, m.prompt);

    const auto& filesList = lists[FoundList::Files];
    EXPECT_EQ(texts(filesList), (std::vector<std::string>{"newlib.dll", "newapp.ini", "NewApp"}));
    EXPECT_EQ(filesList[0].sub1, "C:\\windows\\system32\\");
    EXPECT_EQ(filesList[0].size, "1KB");
    EXPECT_EQ(filesList[2].sub1, "C:\\Program Files\\");
    EXPECT_EQ(filesList[2].size, "4KB");  // 4.9 KB, truncated
    EXPECT_EQ(filesList[2].type, "Folder");
    EXPECT_TRUE(filesList[2].isFolder);
    EXPECT_EQ(filesList[2].fullPath(), "C:\\Program Files\\NewApp");
    EXPECT_DOUBLE_EQ(lists.total, 1500 + 100 + 5000);  // the vanished file counted 0

    const auto& keys = lists[FoundList::Registry];
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].text, "NewVendor");
    EXPECT_EQ(keys[0].sub1, "HKEY_CURRENT_USER\\Software\\");
    EXPECT_EQ(keys[1].fullPath(), "HKEY_LOCAL_MACHINE\\Software\\NewVendor");

    ASSERT_EQ(lists[FoundList::WinIni].size(), 2u);
    EXPECT_EQ(lists[FoundList::WinIni][0].text, "load=new.exe");
    EXPECT_EQ(lists[FoundList::WinIni][0].sub1, "load=");
    EXPECT_EQ(lists[FoundList::WinIni][1].sub1, " ");
    EXPECT_EQ(texts(lists[FoundList::AutoexecBat]), (std::vector<std::string>{"SET A=1"}));
    EXPECT_EQ(texts(lists[FoundList::SystemIni]), (std::vector<std::string>{"Scanning not enabled."}));
    EXPECT_EQ(texts(lists[FoundList::ConfigSys]), (std::vector<std::string>{"Scanning not enabled."}));

    for (auto name : {"C:\\changes.kvd", "C:\\SysChanges.kvd", "C:\\hkcuchanges.kvd", "C:\\hklmchanges.kvd"})
        EXPECT_FALSE(m.files.exists(name)) << name;
    EXPECT_EQ(m.registry.openCount, 0);

    // A second load finds nothing left to read.
    FoundLists again = LoadFoundLists(m.services, m.access, m.prompt);
    EXPECT_TRUE(again[FoundList::Files].empty());
    EXPECT_EQ(texts(again[FoundList::Registry]), (std::vector<std::string>{"Scanning not enabled."}));
    EXPECT_EQ(TotalSizeText(again.total, '.'), "(Total size: 0KB)");
}

TEST(FoundLists, RegistryScanningOffLeavesTheMachineKeyListUnread) {
    Machine m;
    m.files.put("C:\\hkcuchanges.kvd", "Software\\A\r\n");
    m.files.put("C:\\hklmchanges.kvd", "Software\\B\r\n");
    FoundLists lists = LoadFoundLists(m.services, m.access, m.prompt);
    EXPECT_EQ(texts(lists[FoundList::Registry]), (std::vector<std::string>{"Scanning not enabled."}));
    EXPECT_TRUE(m.files.exists("C:\\hklmchanges.kvd"));
    for (std::size_t l = 1; l < kFoundListCount; ++l)
        EXPECT_EQ(texts(lists.lists[l]), (std::vector<std::string>{"Scanning not enabled."}));
}

TEST(FoundLists, SelectionCommandsNeverSelectDisabledScanRows) {
    FoundLists lists;
    lists[FoundList::Files] = {row("a.dll", "C:\\x\\"), row("b.dll", "C:\\x\\")};
    lists[FoundList::Registry] = {row("Scanning not enabled.")};
    lists[FoundList::WinIni] = {row("load=a", " "), row("run=b", " ")};
    lists[FoundList::ConfigSys] = {row("Scanning not enabled.")};

    SelectAll(lists);
    EXPECT_EQ(SelectedCount(lists), 4u);
    EXPECT_FALSE(lists[FoundList::Registry][0].selected);
    EXPECT_FALSE(lists[FoundList::ConfigSys][0].selected);

    lists[FoundList::Files][1].selected = false;
    lists[FoundList::WinIni][0].selected = false;
    InvertSelection(lists);
    EXPECT_FALSE(lists[FoundList::Files][0].selected);
    EXPECT_TRUE(lists[FoundList::Files][1].selected);
    EXPECT_TRUE(lists[FoundList::WinIni][0].selected);
    EXPECT_FALSE(lists[FoundList::WinIni][1].selected);
    EXPECT_FALSE(lists[FoundList::Registry][0].selected);
    EXPECT_EQ(SelectedCount(lists), 2u);

    // Saving takes the selected rows; the rewrite every row but the disabled-scan rows.
    SavedData selected = ToSavedData(lists, RowChoice::Selected);
    EXPECT_EQ(selected.files, (std::vector<std::string>{"C:\\x\\b.dll"}));
    EXPECT_TRUE(selected.registry.empty());
    EXPECT_EQ(selected.linesOf(SavedSystemFile::WinIni), (std::vector<SavedLine>{{"load=a", " "}}));
    SavedData remaining = ToSavedData(lists, RowChoice::Remaining);
    EXPECT_EQ(remaining.files.size(), 2u);
    EXPECT_TRUE(remaining.registry.empty());
    EXPECT_TRUE(remaining.linesOf(SavedSystemFile::ConfigSys).empty());
    EXPECT_EQ(remaining.entryCount(), 4u);
}

TEST(FoundLists, SizeSortKeyOrdersByKilobytes) {
    // The window's sort test covers KB and MB; gigabytes and empty sizes only here.
    EXPECT_EQ(SizeSortKey("3GB"), "003145728");
    EXPECT_EQ(SizeSortKey("10KB"), "000000010");  // a 0 is a digit like the others
    EXPECT_EQ(SizeSortKey(""), "000000000");
}

TEST(FoundLists, SelectedSizeCountsFolderTrees) {
    MemoryFiles files;
    files.put("C:\\App\\a.bin", std::string(1024 * 1024, 'x'));
    files.put("C:\\App\\deep\\b.bin", std::string(512 * 1024, 'x'));
    files.put("C:\\x.txt", std::string(10, 'x'));
    std::vector<FoundRow> rows = {row("App", "C:\\"), row("x.txt", "C:\\")};
    rows[0].selected = true;
    EXPECT_EQ(SelectedSizeText(SelectedSize(files, rows), '.'), "(Size: 1.5 MB)");
    rows[1].selected = true;
    rows[0].selected = false;
    EXPECT_DOUBLE_EQ(SelectedSize(files, rows), 10);
}

}  // namespace
}  // namespace korvex
