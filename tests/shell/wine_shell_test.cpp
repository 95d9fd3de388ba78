// The removal layer on a real machine on the host: what it refuses and why, and that
// deleting, trashing, moving and packing an installation full of links takes the
// links away and leaves everything they point to as it was.
#include <gtest/gtest.h>

#include <regex>

#include <zip.h>

#include "tests/shell/shell_machine.h"

namespace korvex::wine::test {
namespace {

std::string z(const std::string& host) { return "Z:" + std::regex_replace(host, std::regex("/"), "\\"); }

TEST(WineShell, RefusesWhatLiesOutsideTheMachineOrIsItsStructure) {
    ShellMachine m;
    m.makeInstallation();
    WriteHostFile(m.home + "/Documents/notes.txt", "n");
    const std::string u = m.profileWindows();
    struct Case { std::string path, host, reason; } cases[] = {  // reason "" = removed
        {u + "\\Documents\\notes.txt", m.home + "/Documents/notes.txt", ""},
        {u + "\\Desktop\\private.txt", m.home + "/private.txt", "a link on the way leads outside this machine"},
        {z(m.outside + "/secret.txt"), m.outside + "/secret.txt", "outside this machine"},
        {z(m.games), m.games, "a drive root"},
        {z(m.prefix + "/system.reg"), m.prefix + "/system.reg", "part of the Wine prefix's own files"},
        {z(m.prefix + "/dosdevices/z"), m.prefix + "/dosdevices", "part of the Wine prefix's own files"},
        {z(m.prefix), m.prefix, "the Wine prefix folder itself"},
        {z(m.root), m.root, "a folder that holds this machine"},
        {z(m.home + "/Documents"), m.home + "/Documents", "a folder Wine links into your home folder"},
        {z(m.c("windows")), m.c("windows"), "the Windows folder"},
        {"E:\\anything", "", "not on one of this machine's drives"},
        // A link to a folder outside goes as a link; what it points to stays.
        {"C:\\Program Files\\App\\folder-link", m.c("Program Files/App/folder-link"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(m.shell().refusalFor(c.path), c.reason);
        EXPECT_EQ(run(m, FO_DELETE, {c.path}, kQuiet) == 0, c.reason.empty());
        EXPECT_EQ(refusals(m.shell()), c.reason.empty() ? "" : c.path + ": " + c.reason + "\n");
        EXPECT_TRUE(c.host.empty() || present(c.host) == !c.reason.empty()) << c.host;  // a refused item stays
    }
    EXPECT_TRUE(m.outsideIntact());
    EXPECT_TRUE(m.prompt.messages.empty());
}

TEST(WineShell, TheTrashHoldsTheItemWithItsLinksAndWhereItCameFrom) {
    ShellMachine m;
    m.makeInstallation();
    EXPECT_EQ(run(m, FO_DELETE, {"C:\\Program Files\\App"}, kQuiet | FOF_ALLOWUNDO), 0);
    const std::string entry = m.trash + "/files/App";
    EXPECT_TRUE(fs::is_symlink(entry + "/secret-link.txt"));
    EXPECT_EQ(ReadHostFile(entry + "/app.exe"), "exe");
    EXPECT_EQ(fs::status(m.trash).permissions(), fs::perms::owner_all);
    const std::string info = ReadHostFile(m.trash + "/info/App.trashinfo");
    const auto encoded = std::regex_replace(fs::canonical(m.c("Program Files")).string(), std::regex(" "), "%20");
    EXPECT_TRUE(std::regex_match(info, std::regex("\\[Trash Info\\]\nPath=" + encoded +
                                                  "/App\nDeletionDate=20[0-9][0-9]-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n")))
        << info;

    // Names never clash: a second and third item of a name get numbered entries.
    const struct { const char* name; const char* entries[3]; } cases[] = {
        {"Read Me 100%.txt", {"Read Me 100%.txt", "Read Me 100%.2.txt", "Read Me 100%.3.txt"}},
        {".hidden", {".hidden", ".hidden.2", ".hidden.3"}},
    };
    for (const auto& c : cases)
        for (int i = 0; i < 3; ++i) {
            WriteHostFile(m.c(std::string("Program Files/") + c.name), std::to_string(i));
            EXPECT_EQ(run(m, FO_DELETE, {std::string("C:\\Program Files\\") + c.name}, kQuiet | FOF_ALLOWUNDO), 0);
            EXPECT_TRUE(present(m.trash + "/files/" + c.entries[i])) << c.entries[i];
            EXPECT_TRUE(present(m.trash + "/info/" + c.entries[i] + ".trashinfo")) << c.entries[i];
        }
    EXPECT_NE(ReadHostFile(m.trash + "/info/Read Me 100%.2.txt.trashinfo").find("/Read%20Me%20100%25.txt\n"), std::string::npos);
    EXPECT_EQ(ReadHostFile(m.trash + "/files/Read Me 100%.3.txt"), "2");
}

TEST(WineShell, MovingTakesLinksAsLinksAndAsksBeforeReplacing) {
    ShellMachine m;
    m.makeInstallation();
    WriteHostFile(m.c("Program Files/readme.txt"), "new");
    WriteHostFile(m.games + "/Moved/readme.txt", "old");
    // No to the clash: that item stays, the rest moves.
    m.prompt.answers = {Answer::Yes, Answer::No};
    FileOperation op{
        .wFunc = FO_MOVE, .from = {"C:\\Program Files\\App", "C:\\Program Files\\readme.txt"}, .to = "D:\\Moved"};
    EXPECT_NE(m.shell().fileOperation(op, m.prompt), 0);
    EXPECT_TRUE(op.fAnyOperationsAborted);
    EXPECT_EQ(shown(m.prompt.messages),
              "Confirm Multiple File Move: Are you sure you want to move these 2 items to \"D:\\Moved\"?\n"
              "Confirm File Replace: The folder \"D:\\Moved\" already holds an item named \"readme.txt\".\n\n"
              "Replace it with the one being moved?\n");
    EXPECT_EQ(m.prompt.messages.back().buttons, Buttons::YesNoCancel);
    EXPECT_FALSE(present(m.c("Program Files/App")));
    EXPECT_EQ(ReadHostFile(m.games + "/Moved/readme.txt"), "old");
    EXPECT_EQ(ReadHostFile(m.c("Program Files/readme.txt")), "new");
    // Without confirmation the clash is replaced.
    EXPECT_EQ(run(m, FO_MOVE, {"C:\\Program Files\\readme.txt"}, kQuiet, "D:\\Moved"), 0);
    EXPECT_EQ(ReadHostFile(m.games + "/Moved/readme.txt"), "new");
    // A folder into itself, and a clash the guard would not let go, both fail.
    EXPECT_NE(run(m, FO_MOVE, {"D:\\Moved"}, kQuiet, "D:\\Moved\\App\\data"), 0);
    EXPECT_TRUE(present(m.games + "/Moved/App/data"));
}

TEST(WineShell, PackingKeepsLinksAsLinksAndDeletesOnlyAfterTheArchiveReadsBack) {
    ShellMachine m;
    m.makeInstallation();
    const std::string archive = "C:\\users\\" + m.user + "\\Korvex\\Deleted.zip";
    EXPECT_TRUE(m.shell().packAndDelete({"C:\\Program Files\\App"}, archive, m.prompt));
    zip_t* zip = zip_open(m.c("users/" + m.user + "/Korvex/Deleted.zip").c_str(), ZIP_RDONLY, nullptr);
    ASSERT_NE(zip, nullptr);
    // Each entry as "name: contents", or "name -> target" for a link.
    std::string listed;
    for (const char* name : {"C/Program Files/App/app.exe", "C/Program Files/App/secret-link.txt",
                             "C/Program Files/App/data/loop"}) {
        const zip_int64_t index = zip_name_locate(zip, name, 0);
        ASSERT_GE(index, 0) << name;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(zip, index, 0, nullptr, &attributes);
        zip_file_t* f = zip_fopen_index(zip, index, 0);
        char buffer[256] = {};
        const zip_int64_t n = zip_fread(f, buffer, sizeof buffer);
        zip_fclose(f);
        listed += std::string(name) + (S_ISLNK(attributes >> 16) ? " -> " : ": ") + std::string(buffer, n) + "\n";
    }
    EXPECT_EQ(listed, "C/Program Files/App/app.exe: exe\nC/Program Files/App/secret-link.txt -> " + m.outside +
                          "/secret.txt\nC/Program Files/App/data/loop -> ..\n");
    EXPECT_GE(zip_name_locate(zip, "C/Program Files/App/data/deep/", 0), 0);
    zip_close(zip);

    // An archive that cannot be written: nothing is deleted, and the user is told.
    WriteHostFile(m.c("Program Files/Other/x.txt"), "x");
    WriteHostFile(m.c("blocker"), "a file where the archive's folder should be");
    EXPECT_FALSE(m.shell().packAndDelete({"C:\\Program Files\\Other"}, "C:\\blocker\\Deleted.zip", m.prompt));
    EXPECT_TRUE(present(m.c("Program Files/Other/x.txt")));
    EXPECT_EQ(shown(m.prompt.messages).rfind("Error Packing Files: The files could not be packed into ", 0), 0u);
    // A refused item stays and makes the result false; the rest is packed and deleted.
    EXPECT_FALSE(m.shell().packAndDelete({"C:\\windows", "C:\\Program Files\\Other"}, archive, m.prompt));
    EXPECT_TRUE(present(m.c("windows")));
    EXPECT_FALSE(present(m.c("Program Files/Other")));
    EXPECT_EQ(refusals(m.shell()), "C:\\windows: the Windows folder\n");
}

TEST(WineShell, AsksFirstAndTellsWhatFailedUnlessToldNotTo) {
    ShellMachine m;
    WriteHostFile(m.c("Program Files/a.txt"), "a");
    WriteHostFile(m.c("Program Files/b.txt"), "b");
    m.prompt.answers = {Answer::No, Answer::Yes};
    FileOperation op;
    op.from = {"C:\\Program Files\\a.txt", "", "C:\\Program Files\\b.txt"};
    EXPECT_EQ(m.shell().fileOperation(op, m.prompt), 0x4C7);
    EXPECT_TRUE(op.fAnyOperationsAborted);
    EXPECT_TRUE(present(m.c("Program Files/a.txt")));
    op.from = {"C:\\Program Files\\a.txt"};  // the flag set by the No above is cleared
    op.fFlags = FOF_ALLOWUNDO;
    EXPECT_EQ(m.shell().fileOperation(op, m.prompt), 0);
    EXPECT_FALSE(op.fAnyOperationsAborted);
    EXPECT_NE(run(m, FO_DELETE, {"C:\\Program Files\\gone.txt"}, FOF_NOCONFIRMATION), 0);
    EXPECT_NE(run(m, FO_DELETE, {"C:\\Program Files\\gone.txt"}, kQuiet), 0);
    EXPECT_EQ(shown(m.prompt.messages),
              "Confirm Multiple File Delete: Are you sure you want to delete these 2 items for good? They do not go "
              "to the Recycle Bin.\n"
              "Confirm File Delete: Are you sure you want to send \"a.txt\" to the Recycle Bin?\n"
              "Error Deleting File or Folder: Cannot delete \"C:\\Program Files\\gone.txt\": it cannot be found.\n");
}

TEST(WineShell, TheRecycleBinIsOnlyThisMachinesPart) {
    ShellMachine m;
    WriteHostFile(m.c("Program Files/a.txt"), "12345");
    WriteHostFile(m.c("Program Files/B/b.txt"), "123");
    EXPECT_EQ(run(m, FO_DELETE, {"C:\\Program Files\\a.txt", "C:\\Program Files\\B"}, kQuiet | FOF_ALLOWUNDO), 0);
    // Somebody else's item in the same Trash.
    WriteHostFile(m.trash + "/files/theirs.txt", "not ours");
    WriteHostFile(m.trash + "/info/theirs.txt.trashinfo",
                  "[Trash Info]\nPath=" + m.outside + "/theirs.txt\nDeletionDate=2024-01-01T10:00:00\n");
    const RecycleBinContents contents = m.shell().recycleBinContents();
    EXPECT_EQ(contents.items, 2u);
    EXPECT_EQ(contents.bytes, 8u);
    EXPECT_TRUE(m.shell().emptyRecycleBin());
    EXPECT_FALSE(present(m.trash + "/files/a.txt"));
    EXPECT_FALSE(present(m.trash + "/info/B.trashinfo"));
    EXPECT_EQ(ReadHostFile(m.trash + "/files/theirs.txt"), "not ours");
    EXPECT_TRUE(present(m.trash + "/info/theirs.txt.trashinfo"));
    EXPECT_EQ(m.shell().recycleBinContents().items, 0u);
}

TEST(WineShell, DeletionAtRestartIsAppendedToThePendingList) {
    ShellMachine m;
    WriteHostFile(m.c("windows/system32/app.dll"), "dll");
    WriteHostFile(m.c("Program Files/App/b.dll"), "dll");
    EXPECT_TRUE(m.shell().deleteAtRestart("C:\\WINDOWS\\system32\\APP.dll"));
    EXPECT_TRUE(m.shell().deleteAtRestart("C:\\Program Files\\App\\b.dll"));
    EXPECT_TRUE(m.shell().deleteAtRestart("C:\\Program Files\\App\\b.dll"));  // once is enough
    EXPECT_FALSE(m.shell().deleteAtRestart("C:\\windows\\system32"));
    EXPECT_EQ(refusals(m.shell()), "C:\\windows\\system32: a system folder\n");
    m.reopen();
    EXPECT_NE(ReadHostFile(m.prefix + "/system.reg")
                  .find("\"PendingFileRenameOperations\"=str(7):\"\\\\??\\\\C:\\\\windows\\\\system32\\\\app.dll\\0\\0"
                        "\\\\??\\\\C:\\\\Program Files\\\\App\\\\b.dll\\0\\0\""), std::string::npos);
}

}  // namespace
}  // namespace korvex::wine::test
