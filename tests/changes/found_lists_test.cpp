// The found-changes lists as data: loading the change list files, pruning, disabled
// scans, selection commands, the size sort key and the rows that go into a saved file.
#include <gtest/gtest.h>

#include "machine.h"

namespace korvex::test {
namespace {

const std::string kDel(1, '\x7f');
constexpr const char* kOff = "Scanning not enabled.";

// The rows of a list as one line: "text (sub1) size" for each, "*" after selected ones.
std::string Rows(const std::vector<FoundRow>& rows) {
    std::string out;
    for (const auto& r : rows)
        out += (out.empty() ? "" : "; ") + r.text + (r.sub1.empty() ? "" : " (" + r.sub1 + ")") +
               (r.size.empty() ? "" : " " + r.size) + (r.selected ? " *" : "");
    return out;
}

TEST(FoundLists, LoadsTheSixListsAndDeletesTheChangeListFiles) {
    MemoryMachine m;
    for (const char* scan : {"WinIniScan", "AutoexecScan", "RegScan"})
        m.registry.setString("HKCU\\Software\\Korvex!\\Scanning", scan, "1");
    m.files.put("C:\\Program Files\\NewApp\\app.exe", std::string(3000, 'x'));
    m.files.put("C:\\Program Files\\NewApp\\sub\\data.bin", std::string(2000, 'x'));
    m.files.put("C:\\windows\\system32\\newlib.dll", std::string(1500, 'x'));
    m.files.put("C:\\windows\\newapp.ini", std::string(100, 'x'));
    // C:\windows\gone.dll is listed but was deleted before the window opened.
    m.files.put("C:\\changes.kvd", "!C:\\Program Files\\NewApp\\{\r\n}\r\nC:\\windows\\system32\\{\r\nnewlib.dll\r\n}\r\n"
                                   "C:\\windows\\{\r\nnewapp.ini\r\ngone.dll\r\n}\r\n");
    m.files.put("C:\\SysChanges.kvd", "Autoexec.bat{\r\nSET A=1" + kDel + "\r\n " + kDel + "\r\n}\r\n" +
                                          "Win.ini{\r\nload=new.exe" + kDel + "[New]" + kDel + "\r\nload=" + kDel + " " +
                                          kDel + "\r\n}\r\n");
    m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "x", "1");
    m.registry.setString("HKLM\\Software\\NewVendor", "y", "1");
    m.files.put("C:\\hkcuchanges.kvd", "Software\\NewVendor\r\nSoftware\\Vanished\r\n");
    m.files.put("C:\\hklmchanges.kvd", "Software\\NewVendor\r\n");

    FoundLists lists = LoadFoundLists(m.services, m.access, m.prompt);
    // The vanished file and key are pruned; the folder's size is 4.9 KB, truncated.
    EXPECT_EQ(Rows(lists[FoundList::Files]), "newlib.dll (C:\\windows\\system32\\) 1KB; newapp.ini (C:\\windows\\) 0KB; "
                                             "NewApp (C:\\Program Files\\) 4KB");
    const FoundRow& folder = lists[FoundList::Files][2];
    EXPECT_EQ(folder.type + (folder.isFolder ? " " : " (not a folder) ") + folder.fullPath(), "Folder C:\\Program Files\\NewApp");
    EXPECT_DOUBLE_EQ(lists.total, 1500 + 100 + 5000);  // the vanished file counted 0
    EXPECT_EQ(Rows(lists[FoundList::Registry]),
              "NewVendor (HKEY_CURRENT_USER\\Software\\); NewVendor (HKEY_LOCAL_MACHINE\\Software\\)");
    EXPECT_EQ(Rows(lists[FoundList::WinIni]), "load=new.exe (load=); [New] ( )");
    EXPECT_EQ(Rows(lists[FoundList::AutoexecBat]), "SET A=1 ( )");
    EXPECT_EQ(Rows(lists[FoundList::SystemIni]) + Rows(lists[FoundList::ConfigSys]), std::string(kOff) + kOff);
    for (auto name : {"C:\\changes.kvd", "C:\\SysChanges.kvd", "C:\\hkcuchanges.kvd", "C:\\hklmchanges.kvd"})
        EXPECT_FALSE(m.files.exists(name)) << name;
    EXPECT_EQ(m.registry.openCount, 0);

    // A second load finds nothing left to read.
    FoundLists again = LoadFoundLists(m.services, m.access, m.prompt);
    EXPECT_TRUE(again[FoundList::Files].empty());
    EXPECT_EQ(Rows(again[FoundList::Registry]), kOff);
    EXPECT_EQ(TotalSizeText(again.total, '.'), "(Total size: 0KB)");

    // Without any scan settings nothing is enabled and the key lists stay unread.
    ASSERT_EQ(m.registry.deleteTree(HKEY_CURRENT_USER, "Software\\Korvex!\\Scanning"), ERROR_SUCCESS);
    m.files.put("C:\\hkcuchanges.kvd", "Software\\A\r\n");
    m.files.put("C:\\hklmchanges.kvd", "Software\\B\r\n");
    FoundLists off = LoadFoundLists(m.services, m.access, m.prompt);
    EXPECT_TRUE(m.files.exists("C:\\hklmchanges.kvd"));
    for (std::size_t l = 1; l < kFoundListCount; ++l) EXPECT_EQ(Rows(off.lists[l]), kOff) << l;
}

TEST(FoundLists, SelectionCommandsNeverSelectDisabledScanRows) {
    FoundLists lists;
    lists[FoundList::Files] = {Row("a.dll", "C:\\x\\"), Row("b.dll", "C:\\x\\")};
    lists[FoundList::Registry] = {Row(kOff)};
    lists[FoundList::WinIni] = {Row("load=a", " "), Row("run=b", " ")};
    lists[FoundList::ConfigSys] = {Row(kOff)};
    auto all = [&] {
        std::string out;
        for (const auto& list : lists.lists) out += Rows(list) + "\n";
        return out;
    };
    SelectAll(lists);
    EXPECT_EQ(all(), "a.dll (C:\\x\\) *; b.dll (C:\\x\\) *\n" + std::string(kOff) + "\nload=a ( ) *; run=b ( ) *\n\n\n" +
                         kOff + "\n");
    lists[FoundList::Files][1].selected = false;
    lists[FoundList::WinIni][0].selected = false;
    InvertSelection(lists);
    EXPECT_EQ(SelectedCount(lists), 2u);
    EXPECT_EQ(all(), "a.dll (C:\\x\\); b.dll (C:\\x\\) *\n" + std::string(kOff) + "\nload=a ( ) *; run=b ( )\n\n\n" +
                         kOff + "\n");

    // Saving takes the selected rows; the rewrite every row but the disabled-scan rows.
    SavedData selected = ToSavedData(lists, RowChoice::Selected);
    EXPECT_EQ(selected.files, (std::vector<std::string>{"C:\\x\\b.dll"}));
    EXPECT_EQ(selected.linesOf(SavedSystemFile::WinIni), (std::vector<SavedLine>{{"load=a", " "}}));
    EXPECT_EQ(selected.entryCount(), 2u);
    EXPECT_EQ(ToSavedData(lists, RowChoice::Remaining).entryCount(), 4u);  // two files, two lines
}

TEST(FoundLists, SizeSortKeyAndSelectedSize) {
    // The window's sort test covers KB and MB; gigabytes and empty sizes only here.
    EXPECT_EQ(SizeSortKey("3GB"), "003145728");
    EXPECT_EQ(SizeSortKey("10KB"), "000000010");  // a 0 is a digit like the others
    EXPECT_EQ(SizeSortKey(""), "000000000");

    // Folder trees count whole.
    MemoryFiles files;
    files.put("C:\\App\\a.bin", std::string(1024 * 1024, 'x'));
    files.put("C:\\App\\deep\\b.bin", std::string(512 * 1024, 'x'));
    files.put("C:\\x.txt", std::string(10, 'x'));
    std::vector<FoundRow> rows = {Row("App", "C:\\", true), Row("x.txt", "C:\\")};
    EXPECT_EQ(SelectedSizeText(SelectedSize(files, rows), '.'), "(Size: 1.5 MB)");
    rows[1].selected = true;
    rows[0].selected = false;
    EXPECT_DOUBLE_EQ(SelectedSize(files, rows), 10);
}

}  // namespace
}  // namespace korvex::test
