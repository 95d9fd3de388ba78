// Delete selected and Move selected on the found-changes lists: the order of steps,
// Shift's permanent delete, and which rows are left afterwards.
#include <gtest/gtest.h>

#include "removal/found_removal.h"
#include "tests/removal/removal_machine.h"

namespace korvex::test {
namespace {

FoundRow row(std::string text, std::string sub1, bool selected, bool folder = false) {
    FoundRow r;
    r.text = std::move(text);
    r.sub1 = std::move(sub1);
    r.isFolder = folder;
    r.selected = selected;
    return r;
}

// The rows left, list by list (files, keys, win.ini, system.ini), "|" between lists.
std::string listed(const FoundLists& lists) {
    std::string out;
    for (std::size_t l = 0; l < 4; ++l) {
        if (l) out += " |";
        for (const FoundRow& r : lists.lists[l]) out += " " + r.text;
    }
    return out;
}

// The lists of the installation: the folder and a file in it, the library, a stray
// file, two keys, two win.ini rows.
FoundLists foundLists(bool selectFolder) {
    FoundLists l;
    l[FoundList::Files] = {row("NewApp", "C:\\Program Files\\", selectFolder, true),
                           row("app.exe", "C:\\Program Files\\NewApp\\", false),
                           row("newapp.dll", "C:\\windows\\system32\\", true), row("readme.txt", "C:\\", false)};
    l[FoundList::Registry] = {row("NewVendor", "HKEY_CURRENT_USER\\Software\\", true),
                              row("NewVendor", "HKEY_LOCAL_MACHINE\\Software\\", false)};
    l[FoundList::WinIni] = {row("load=newapp.exe", "load=", true), row("[NewApp]", " ", false)};
    l[FoundList::SystemIni] = {row(std::string(kScanningNotEnabled), "", false)};
    return l;
}

TEST(DeleteSelected, RemovesTheSelectionAndLeavesTheRestListed) {
    // The file inside the deleted folder goes although it was not selected.
    struct Case { const char* name; bool permanent, lockKey; std::uint16_t flags; const char* listed; } cases[] = {
        {"to the Recycle Bin", false, false, 0x441, " readme.txt | NewVendor | [NewApp] | Scanning not enabled."},
        {"Shift held", true, false, 0x401, " readme.txt | NewVendor | [NewApp] | Scanning not enabled."},
        {"a key that cannot go", false, true, 0x441,
         " readme.txt | NewVendor NewVendor | [NewApp] | Scanning not enabled."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RemovalMachine m;
        m.install();
        m.files.put("C:\\readme.txt", "r");
        if (k.lockKey) m.registry.readOnlyKeys.insert("HKCU\\Software\\NewVendor");
        m.prompt.answers = {Answer::Yes};
        FoundLists lists = foundLists(true);
        EXPECT_TRUE(DeleteSelected(m.context, lists, k.permanent, m.dll).empty());
        ASSERT_EQ(m.shell.operations.size(), 1u);
        EXPECT_EQ(m.shell.operations[0].fFlags, k.flags);
        EXPECT_EQ(m.shell.trash.size(), k.permanent ? 0u : 2u);
        EXPECT_EQ(listed(lists), k.listed);
        EXPECT_EQ(m.files.contents("C:\\windows\\win.ini"), "[windows]\r\nload=\r\n\r\n[mail]\r\nMAPI=1\r\n");
        EXPECT_EQ(m.registry.keyExists("HKCU\\Software\\NewVendor"), k.lockKey);
        EXPECT_TRUE(m.registry.keyExists("HKLM\\Software\\NewVendor"));
    }
}

TEST(DeleteSelected, SkippedLibraryNothingSelectedAndABusyRegistry) {
    RemovalMachine m;
    m.install();
    m.sharedCount("C:\\windows\\system32\\newapp.dll", 2);
    m.dllAnswers = {2};
    m.prompt.answers = {Answer::Yes};
    FoundLists lists = foundLists(false);
    DeleteSelected(m.context, lists, false, m.dll);
    EXPECT_TRUE(m.shell.operations.empty());
    // readme.txt was never on the disk: it goes; the skipped library stays listed.
    EXPECT_EQ(listed(lists), " NewApp app.exe newapp.dll | NewVendor | [NewApp] | Scanning not enabled.");

    RemovalMachine n;
    FoundLists none;
    DeleteSelected(n.context, none, false, n.dll);
    EXPECT_EQ(shown(n.prompt.messages), "Error deleting files: No files or system changes selected. Select a file or "
                                        "a system change and then click on Delete selected.\n");

    // While Wine uses the registry nothing is removed at all.
    RemovalMachine busy;
    busy.install();
    busy.registry.refusal = "Wine is running programs in this machine.";
    FoundLists all = foundLists(true);
    DeleteSelected(busy.context, all, false, busy.dll);
    EXPECT_TRUE(busy.shell.operations.empty());
    EXPECT_EQ(listed(all), listed(foundLists(true)));
    EXPECT_EQ(busy.prompt.messages.size(), 1u);  // its text is checked with the uninstall
}

TEST(MoveSelected, MovesIntoThePickedFolderAndDropsRowsThatMoved) {
    RemovalMachine m;
    m.install();
    m.files.put("C:\\readme.txt", "r");
    FoundLists lists = foundLists(true);
    m.prompt.picks = {"C:\\Aside"};
    m.prompt.answers = {Answer::Yes};
    MoveSelected(m.context, lists);
    EXPECT_TRUE(m.files.exists("C:\\Aside\\NewApp\\app.exe") && m.files.exists("C:\\Aside\\newapp.dll"));
    EXPECT_EQ(listed(lists), " readme.txt | NewVendor NewVendor | load=newapp.exe [NewApp] | Scanning not enabled.");

    RemovalMachine n;
    FoundLists onlyKeys = foundLists(false);
    onlyKeys[FoundList::Files][2].selected = false;
    MoveSelected(n.context, onlyKeys);
    EXPECT_EQ(shown(n.prompt.messages),
              "Error moving files: No files selected. Select a file and then click on Move selected.\n");
}

}  // namespace
}  // namespace korvex::test
