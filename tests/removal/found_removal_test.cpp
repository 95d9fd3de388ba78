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
    r.selected = selected;
    r.isFolder = folder;
    return r;
}

std::vector<std::string> texts(const std::vector<FoundRow>& rows) {
    std::vector<std::string> out;
    for (const FoundRow& r : rows) out.push_back(r.text);
    return out;
}

// The lists of the installation: the folder and a file in it, the library, a stray
// file, two keys, two win.ini rows.
FoundLists foundLists(bool selectFolder) {
    FoundLists l;
    l[FoundList::Files] = {row("NewApp", "C:\\Program Files\\", selectFolder, true),
                           row("app.exe", "C:\\Program Files\\NewApp\\", false),
                           row("newapp.dll", "C:\\windows\\system32\\", true),
                           row("readme.txt", "C:\\", false)};
    l[FoundList::Registry] = {row("NewVendor", "HKEY_CURRENT_USER\\Software\\", true),
                              row("NewVendor", "HKEY_LOCAL_MACHINE\\Software\\", false)};
    l[FoundList::WinIni] = {row("load=newapp.exe", "load=", true), row("[NewApp]", " ", false)};
    l[FoundList::SystemIni] = {row(std::string(kScanningNotEnabled), "", false)};
    return l;
}

TEST(DeleteSelected, RemovesTheSelectionAndLeavesTheRestListed) {
    struct Case {
        const char* name;
        bool permanent;
        bool lockKey;
        std::uint16_t flags;
        std::vector<std::string> files, keys;
    } cases[] = {
        {"to the Recycle Bin", false, false, 0x441, {"readme.txt"}, {"NewVendor"}},
        {"Shift held", true, false, 0x401, {"readme.txt"}, {"NewVendor"}},
        {"a key that cannot go", false, true, 0x441, {"readme.txt"}, {"NewVendor", "NewVendor"}},
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
        // The file inside the deleted folder goes from the list although it was not selected.
        EXPECT_EQ(texts(lists[FoundList::Files]), k.files);
        EXPECT_EQ(texts(lists[FoundList::Registry]), k.keys);
        EXPECT_EQ(texts(lists[FoundList::WinIni]), std::vector<std::string>{"[NewApp]"});
        EXPECT_EQ(lists[FoundList::SystemIni].size(), 1u);
        EXPECT_EQ(m.files.contents("C:\\windows\\win.ini"), "[windows]\r\nload=\r\n\r\n[mail]\r\nMAPI=1\r\n");
        EXPECT_EQ(m.registry.keyExists("HKCU\\Software\\NewVendor"), k.lockKey);
        EXPECT_TRUE(m.registry.keyExists("HKLM\\Software\\NewVendor"));
    }
}

TEST(DeleteSelected, SkippedLibraryAndNothingSelected) {
    RemovalMachine m;
    m.install();
    m.sharedCount("C:\\windows\\system32\\newapp.dll", 2);
    m.dllAnswers = {2};
    m.prompt.answers = {Answer::Yes};
    FoundLists lists = foundLists(false);
    DeleteSelected(m.context, lists, false, m.dll);
    EXPECT_EQ(m.asked.size(), 1u);
    EXPECT_TRUE(m.shell.operations.empty());
    // readme.txt was never on the disk: it goes; the skipped library stays listed.
    EXPECT_EQ(texts(lists[FoundList::Files]), (std::vector<std::string>{"NewApp", "app.exe", "newapp.dll"}));

    RemovalMachine n;
    FoundLists none = foundLists(false);
    for (auto& list : none.lists)
        for (auto& r : list) r.selected = false;
    DeleteSelected(n.context, none, false, n.dll);
    EXPECT_EQ(shown(n.prompt.messages), "Error deleting files: No files or system changes selected. Select a file or "
                                        "a system change and then click on Delete selected.\n");
}

TEST(DeleteSelected, StopsBeforeAnythingWhileWineUsesTheRegistry) {
    RemovalMachine m;
    m.install();
    m.registry.refusal = "Wine is running programs in this machine.";
    FoundLists lists = foundLists(true);
    DeleteSelected(m.context, lists, false, m.dll);
    EXPECT_TRUE(m.shell.operations.empty());
    EXPECT_TRUE(m.files.exists("C:\\Program Files\\NewApp\\app.exe"));
    EXPECT_EQ(lists[FoundList::Files].size(), 4u);
    EXPECT_EQ(shown(m.prompt.messages), "Korvex!: Wine is running programs in this machine. Nothing was removed: "
                                        "close the machine's Windows programs first.\n");
}

TEST(MoveSelected, MovesIntoThePickedFolderAndDropsRowsThatMoved) {
    RemovalMachine m;
    m.install();
    m.files.put("C:\\readme.txt", "r");
    FoundLists lists = foundLists(true);
    m.prompt.picks = {"C:\\Aside"};
    m.prompt.answers = {Answer::Yes};
    MoveSelected(m.context, lists);
    EXPECT_TRUE(m.files.exists("C:\\Aside\\NewApp\\app.exe"));
    EXPECT_TRUE(m.files.exists("C:\\Aside\\newapp.dll"));
    EXPECT_EQ(texts(lists[FoundList::Files]), std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(lists[FoundList::Registry].size(), 2u);

    RemovalMachine n;
    FoundLists onlyKeys = foundLists(false);
    onlyKeys[FoundList::Files][2].selected = false;
    MoveSelected(n.context, onlyKeys);
    EXPECT_EQ(shown(n.prompt.messages),
              "Error moving files: No files selected. Select a file and then click on Move selected.\n");
}

}  // namespace
}  // namespace korvex::test
