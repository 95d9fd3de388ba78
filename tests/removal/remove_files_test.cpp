// The removal primitives: every delete mode, retries and deletion at restart on both
// families of Windows, clearing a folder that holds a file in use, moving, and taking
// added lines out of a system text file.
#include <gtest/gtest.h>

#include <sstream>

#include "removal/remove_files.h"
#include "tests/removal/removal_machine.h"

namespace korvex::test {
namespace {

const std::string kDll = "C:\\windows\\system32\\newapp.dll";

// What a removal of the installation did: each shell operation as "function flags(hex)
// xitems", the Recycle Bin's size, which items are still there or sit in the data
// folder, the archive, what waits for the restart and what was shown.
std::string outcome(RemovalMachine& m, const RemoveReport& r) {
    std::ostringstream out;
    for (const FileOperation& op : m.shell.operations)
        out << "op " << op.wFunc << " " << std::hex << op.fFlags << std::dec << " x" << op.from.size() << "; ";
    out << "trash " << m.shell.trash.size();
    for (const char* path : {"C:\\Program Files\\NewApp", "C:\\windows\\system32\\newapp.dll"})
        if (m.files.exists(path)) out << ", kept " << path;
    if (m.files.exists("C:\\Korvex\\NewApp\\app.exe") && m.files.exists("C:\\Korvex\\newapp.dll")) out << ", moved";
    if (r.archived && m.files.exists(r.archive)) out << ", packed into " << r.archive;
    for (const std::string& path : m.shell.scheduled) out << ", at restart " << path;
    for (const Message& msg : m.prompt.messages) out << (msg.text == kRestartMessage ? ", restart message" : ", asked");
    return out.str();
}

TEST(RemoveFiles, EachDeleteModeAndWhatAFileInUseDoes) {
    const int nt = VER_PLATFORM_WIN32_NT, w95 = VER_PLATFORM_WIN32_WINDOWS;
    struct Case {
        const char* mode;
        RemovalMode removal;
        std::uint16_t flags;  // the uninstall's own flags stand as they are, whatever the mode
        Answer answer;        // to the shell's question; No counts as done and removes nothing
        int platform;
        bool dllInUse;
        std::string outcome;
    } cases[] = {
        // Mode 0 with and without Shift, answered Yes, is walked by the DeleteSelected tests.
        {"0", RemovalMode::Normal, 0, Answer::No, nt, false,
         "op 3 441 x3; trash 0, kept C:\\Program Files\\NewApp, kept " + kDll + ", asked"},
        {"1", RemovalMode::Normal, 0, Answer::Yes, nt, false, "op 3 401 x3; trash 0, asked"},
        {"1", RemovalMode::Quiet, 0x51, Answer::Yes, nt, false, "op 3 451 x3; trash 2"},
        {"2", RemovalMode::Normal, 0, Answer::Yes, nt, false, "op 1 1 x3; trash 0, moved, asked"},
        {"3", RemovalMode::Normal, 0, Answer::Yes, nt, false,
         "trash 0, packed into C:\\Korvex\\Removed files 2023-11-14 221320.zip"},
        {"7", RemovalMode::Normal, 0, Answer::Yes, nt, false, "op 3 441 x3; trash 2, asked"},
        // A file in use: NT retries path by path without asking and schedules it.
        {"1", RemovalMode::Normal, 0, Answer::Yes, nt, true,
         "op 3 401 x3; op 3 411 x1; trash 0, kept " + kDll + ", at restart " + kDll + ", asked, restart message"},
        {"1", RemovalMode::Quiet, 0, Answer::Yes, nt, true,
         "op 3 401 x3; op 3 411 x1; trash 0, kept " + kDll + ", at restart " + kDll + ", asked"},
        {"1", RemovalMode::Normal, 0, Answer::Yes, w95, true, "op 3 1 x3; trash 0, kept " + kDll + ", asked"},
        // Packing is all or nothing.
        {"3", RemovalMode::Normal, 0, Answer::Yes, nt, true, "trash 0, kept C:\\Program Files\\NewApp, kept " + kDll},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.outcome);
        RemovalMachine m;
        m.install();
        m.deleteMode(k.mode);
        m.system.platform = k.platform;
        if (k.dllInUse) m.shell.failing.insert(kDll);
        m.prompt.answers = {k.answer};
        RemoveReport report;
        EXPECT_EQ(RemoveFiles(m.context, {kDll, "", "C:\\Program Files\\NewApp"}, k.flags, k.removal, &report),
                  !k.dllInUse);
        EXPECT_EQ(outcome(m, report), k.outcome);
        EXPECT_EQ(report.scheduled, m.shell.scheduled);
    }
}

TEST(RemoveFiles, FolderWithALockedFileIsClearedEntryByEntry) {
    RemovalMachine m;
    m.install();
    m.deleteMode("1");
    const std::string locked = "C:\\Program Files\\NewApp\\data\\d.dat";
    m.files.put("C:\\Program Files\\NewApp\\data\\e.dat", "e");
    m.shell.failing.insert(locked);
    m.prompt.answers = {Answer::Yes};
    EXPECT_FALSE(RemoveFiles(m.context, {"C:\\Program Files\\NewApp"}, 0, RemovalMode::Normal));
    EXPECT_EQ(m.files.tree("C:\\Program Files\\NewApp"),
              (std::vector<std::string>{"C:\\Program Files\\NewApp\\data\\", locked}));
    EXPECT_EQ(m.shell.scheduled, std::vector<std::string>{locked});
    EXPECT_EQ(shown({m.prompt.messages.back()}), "Korvex!: " + std::string(kRestartMessage) + "\n");
    EXPECT_EQ(m.prompt.messages.back().icon, Icon::Exclamation);
}

// Moving itself is walked by delete mode 2 above.
TEST(MoveFiles, NothingMovesWhileTheFirstPathIsInUse) {
    RemovalMachine m;
    m.install();
    m.files.inUse.insert(kDll);
    MoveFiles(m.context, {kDll, "C:\\Program Files\\NewApp"}, "C:\\Aside", 0);
    EXPECT_TRUE(m.shell.operations.empty());
}

TEST(RemoveLine, TakesOutEveryCopyAndPutsBackTheReplacedLine) {
    // after nullptr: unchanged, attributes untouched.
    struct Case { const char *before, *added, *replaced, *after; } cases[] = {
        {"[windows]\r\nrun=x\r\nload=\r\nrun=x\r\n", "run=x", " ", "[windows]\r\nload=\r\n"},
        {"[windows]\r\nload=new.exe\r\n", "load=new.exe", "load=", "[windows]\r\nload=\r\n"},
        {"[windows]\rRUN=X\rlast", "RUN=X", " ", "[windows]\r\nlast\r\n"},
        {"[windows]\r\nRun=x\r\n", "run=x", " ", nullptr},  // letter case counts
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.before);
        RemovalMachine m;
        m.files.put("C:\\windows\\win.ini", k.before);
        RemoveLine(m.context, "C:\\windows\\win.ini", k.added, k.replaced);
        EXPECT_EQ(m.files.contents("C:\\windows\\win.ini"), k.after ? k.after : k.before);
        EXPECT_EQ(m.files.info("C:\\windows\\win.ini").attributes & 6u, k.after ? 6u : 0u);
        EXPECT_FALSE(m.files.exists("C:\\tempSys.kvd"));
    }
    RemovalMachine m;
    RemoveLine(m.context, "C:\\windows\\missing.ini", "a", " ");
    EXPECT_FALSE(m.files.exists("C:\\windows\\missing.ini"));
}

TEST(DatedFileName, NamesTheTimeAndAvoidsClashes) {
    // A name without a clash is checked with the backups and the archive.
    RemovalMachine m;
    m.files.put("C:\\K\\Registry 2000-02-29 000000.reg", "x");
    EXPECT_EQ(DatedFileName(m.files, "C:\\K\\", "Registry", 951782400, ".reg"),
              "C:\\K\\Registry 2000-02-29 000000 (2).reg");
}

}  // namespace
}  // namespace korvex::test
