// The removal primitives: every delete mode, retries and deletion at restart on both
// families of Windows, clearing a folder that holds a file in use, moving, and taking
// added lines out of a system text file.
#include <gtest/gtest.h>

#include "platform/folders.h"
#include "removal/remove_files.h"
#include "tests/removal/removal_machine.h"

namespace korvex::test {
namespace {

TEST(RemoveFiles, EachDeleteModeDoesWhatItSays) {
    struct Case {
        const char* mode;
        RemovalMode removal;
        std::uint16_t flags;
        unsigned wFunc;            // 0: no file operation at all
        std::uint16_t opFlags;     // NT family: FOF_NOERRORUI is always added
        bool inTrash, inDataFolder, archived;
        Answer answer = Answer::Yes;  // to the shell's question; No counts as done and removes nothing
    } cases[] = {
        {"0", RemovalMode::Normal, 0, FO_DELETE, 0x441, true, false, false},
        {"0", RemovalMode::Normal, 0, FO_DELETE, 0x441, false, false, false, Answer::No},
        {"0", RemovalMode::Permanent, 0, FO_DELETE, 0x401, false, false, false},
        {"1", RemovalMode::Normal, 0, FO_DELETE, 0x401, false, false, false},
        // The uninstall's own flags stand as they are, whatever the mode.
        {"1", RemovalMode::Quiet, 0x51, FO_DELETE, 0x451, true, false, false},
        {"2", RemovalMode::Normal, 0, FO_MOVE, 0x1, false, true, false},
        {"3", RemovalMode::Normal, 0, 0, 0, false, false, true},
        {"7", RemovalMode::Normal, 0, FO_DELETE, 0x441, true, false, false},
        {"abc", RemovalMode::Normal, 0, FO_DELETE, 0x441, true, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.mode) + " " + std::to_string(static_cast<int>(k.removal)) +
                     (k.answer == Answer::No ? " No" : ""));
        RemovalMachine m;
        m.install();
        m.deleteMode(k.mode);
        const std::vector<std::string> list = {"C:\\Program Files\\NewApp", "", "C:\\windows\\system32\\newapp.dll"};
        m.prompt.answers = {k.answer};
        RemoveReport report;
        EXPECT_TRUE(RemoveFiles(m.context, list, k.flags, k.removal, &report));
        EXPECT_EQ(m.files.exists("C:\\Program Files\\NewApp"), k.answer == Answer::No);
        EXPECT_EQ(m.files.exists("C:\\windows\\system32\\newapp.dll"), k.answer == Answer::No);
        if (k.wFunc) {
            ASSERT_EQ(m.shell.operations.size(), 1u);
            EXPECT_EQ(m.shell.operations[0].wFunc, k.wFunc);
            EXPECT_EQ(m.shell.operations[0].fFlags, k.opFlags);
        } else {
            EXPECT_TRUE(m.shell.operations.empty());
        }
        EXPECT_EQ(m.shell.trash.size(), k.inTrash ? 2u : 0u);
        EXPECT_EQ(m.files.exists("C:\\Korvex\\NewApp\\app.exe") && m.files.exists("C:\\Korvex\\newapp.dll"),
                  k.inDataFolder);
        EXPECT_EQ(report.archived, k.archived);
        if (k.archived) {
            EXPECT_EQ(report.archive, "C:\\Korvex\\Removed files 2023-11-14 221320.zip");
            EXPECT_TRUE(m.files.exists(report.archive));
        }
        EXPECT_TRUE(report.scheduled.empty());
        EXPECT_TRUE(m.prompt.messages.size() <= 1u);  // at most the shell's own question
    }
}

TEST(RemoveFiles, FileInUseIsScheduledOnNtAndLeftAloneOn95) {
    struct Case {
        int platform;
        RemovalMode mode;
        std::vector<std::string> scheduled;
        std::size_t messages;
    } cases[] = {
        {VER_PLATFORM_WIN32_NT, RemovalMode::Normal, {"C:\\windows\\system32\\newapp.dll"}, 1},
        {VER_PLATFORM_WIN32_NT, RemovalMode::Quiet, {"C:\\windows\\system32\\newapp.dll"}, 0},
        {VER_PLATFORM_WIN32_WINDOWS, RemovalMode::Normal, {}, 0},
    };
    for (const Case& k : cases) {
        RemovalMachine m;
        m.install();
        m.system.platform = k.platform;
        m.deleteMode("1");
        m.shell.failing.insert("C:\\windows\\system32\\newapp.dll");
        m.prompt.answers = {Answer::Yes};
        RemoveReport report;
        EXPECT_FALSE(RemoveFiles(m.context, {"C:\\windows\\system32\\newapp.dll", "C:\\Program Files\\NewApp"}, 0,
                                 k.mode, &report));
        EXPECT_EQ(m.shell.scheduled, k.scheduled);
        EXPECT_EQ(report.scheduled, k.scheduled);
        // The shell's question, then the restart message when there is one.
        ASSERT_EQ(m.prompt.messages.size(), 1 + k.messages);
        if (k.messages) {
            const Message& last = m.prompt.messages.back();
            EXPECT_EQ(last.title, "Korvex!");
            EXPECT_EQ(last.icon, Icon::Exclamation);
            EXPECT_EQ(last.text, kRestartMessage);
        }
        EXPECT_TRUE(m.files.exists("C:\\windows\\system32\\newapp.dll"));
        if (k.platform == VER_PLATFORM_WIN32_NT) {
            // The retry went path by path, without asking again.
            ASSERT_EQ(m.shell.operations.size(), 2u);
            EXPECT_EQ(m.shell.operations[1].from, std::vector<std::string>{"C:\\windows\\system32\\newapp.dll"});
            EXPECT_EQ(m.shell.operations[1].fFlags & FOF_NOCONFIRMATION, FOF_NOCONFIRMATION);
        } else {
            EXPECT_EQ(m.shell.operations.size(), 1u);
        }
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
    RemoveReport report;
    EXPECT_FALSE(RemoveFiles(m.context, {"C:\\Program Files\\NewApp"}, 0, RemovalMode::Normal, &report));
    EXPECT_EQ(m.files.tree("C:\\Program Files\\NewApp"),
              (std::vector<std::string>{"C:\\Program Files\\NewApp\\data\\", locked}));
    EXPECT_EQ(m.shell.scheduled, std::vector<std::string>{locked});
    EXPECT_EQ(m.prompt.messages.back().text, kRestartMessage);
}

TEST(RemoveFiles, PackingThatFailsDeletesNothing) {
    RemovalMachine m;
    m.install();
    m.deleteMode("3");
    m.shell.failing.insert("C:\\windows\\system32\\newapp.dll");
    RemoveReport report;
    EXPECT_FALSE(RemoveFiles(m.context, {"C:\\Program Files\\NewApp", "C:\\windows\\system32\\newapp.dll"}, 0,
                             RemovalMode::Normal, &report));
    EXPECT_TRUE(m.files.exists("C:\\Program Files\\NewApp\\app.exe"));
    EXPECT_TRUE(m.shell.scheduled.empty());
    EXPECT_TRUE(m.prompt.messages.empty());
}

TEST(MoveFiles, MovesEveryPathIntoTheFolderUnlessTheFirstIsInUse) {
    RemovalMachine m;
    m.install();
    m.files.inUse.insert("C:\\windows\\system32\\newapp.dll");
    const std::vector<std::string> list = {"C:\\windows\\system32\\newapp.dll", "C:\\Program Files\\NewApp"};
    MoveFiles(m.context, list, "C:\\Aside", 0);
    EXPECT_TRUE(m.shell.operations.empty());
    m.files.inUse.clear();
    m.prompt.answers = {Answer::Yes};
    MoveFiles(m.context, list, "C:\\Aside", 0);
    ASSERT_EQ(m.shell.operations.size(), 1u);
    EXPECT_EQ(m.shell.operations[0].fFlags, FOF_MULTIDESTFILES);
    EXPECT_TRUE(m.files.exists("C:\\Aside\\newapp.dll"));
    EXPECT_TRUE(m.files.exists("C:\\Aside\\NewApp\\data\\d.dat"));
}

TEST(RemoveLine, TakesOutEveryCopyAndPutsBackTheReplacedLine) {
    struct Case {
        const char* before;
        const char* added;
        const char* replaced;
        const char* after;  // nullptr: unchanged, attributes untouched
    } cases[] = {
        {"[windows]\r\nrun=x\r\nload=\r\nrun=x\r\n", "run=x", " ", "[windows]\r\nload=\r\n"},
        {"[windows]\r\nload=new.exe\r\n", "load=new.exe", "load=", "[windows]\r\nload=\r\n"},
        {"[windows]\rRUN=X\rlast", "RUN=X", " ", "[windows]\r\nlast\r\n"},
        {"[windows]\r\nRun=x\r\n", "run=x", " ", nullptr},  // letter case counts
        {"[windows]\r\nrun=x \r\n", "run=x", " ", nullptr},
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
    RemovalMachine m;
    EXPECT_EQ(DatedFileName(m.files, "C:\\K\\", "Registry", 951782400, ".reg"), "C:\\K\\Registry 2000-02-29 000000.reg");
    m.files.put("C:\\K\\Registry 2000-02-29 000000.reg", "x");
    EXPECT_EQ(DatedFileName(m.files, "C:\\K\\", "Registry", 951782400, ".reg"),
              "C:\\K\\Registry 2000-02-29 000000 (2).reg");
}

}  // namespace
}  // namespace korvex::test
