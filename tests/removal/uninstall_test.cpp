// Uninstalling from a saved data file: the four outcomes with the leftover file, the
// question, the validity test, a registry Wine is using, the review's change lists,
// and hostile or damaged data files.
#include <gtest/gtest.h>

#include "removal/registry_backup.h"
#include "removal/uninstall.h"
#include "tests/removal/removal_machine.h"

namespace korvex::test {
namespace {

const std::string kDel(1, '\x7f');
const std::string kDataFile = "C:\\Korvex\\Uninstall logs\\NewApp.kvu";
const std::string kEmptyLineSections = "Win.ini{\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n";

const std::string kDataText =
    "Files{\r\nC:\\Program Files\\NewApp\r\nC:\\windows\\system32\\newapp.dll\r\nC:\\gone.txt\r\n}\r\n"
    "Registry{\r\nHKEY_CURRENT_USER\\Software\\NewVendor\r\nHKEY_LOCAL_MACHINE\\Software\\NewVendor\r\n}\r\n"
    "Win.ini{\r\nload=newapp.exe" + kDel + "load=" + kDel + "\r\n}\r\n"
    "System.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n";

struct Uninstall : RemovalMachine {
    Uninstall() {
        install();
        files.put(kDataFile, kDataText);
        registry.setString(kGeneral, "SavedForDeletion", "C:\\a.kvu" + kDel + kDataFile + kDel + "C:\\b.kvu" + kDel);
        prompt.answers = {Answer::Yes};
    }
    UninstallResult run() { return UninstallFromSavedFile(context, kDataFile, dll); }
};

// What is left of the installation ("" when all of it went), and what waits for the restart.
std::string left(Uninstall& m) {
    std::string out;
    if (m.files.exists("C:\\Program Files\\NewApp\\app.exe")) out += "folder ";
    if (m.files.exists("C:\\windows\\system32\\newapp.dll")) out += "library ";
    if (m.registry.keyExists("HKCU\\Software\\NewVendor")) out += "HKCU key ";
    if (m.registry.keyExists("HKLM\\Software\\NewVendor\\NewApp\\Sub")) out += "HKLM key ";
    const std::string winIni = m.files.contents("C:\\windows\\win.ini");
    if (winIni != "[windows]\r\nload=\r\n\r\n[mail]\r\nMAPI=1\r\n")
        out += winIni == "[windows]\r\nload=newapp.exe\r\n\r\n[mail]\r\nMAPI=1\r\n" ? "win.ini line " : "win.ini damaged ";
    for (const std::string& path : m.shell.scheduled) out += "at restart " + path;
    return out;
}

TEST(Uninstall, OutcomesMessagesAndTheLeftoverFile) {
    const std::string question =
        "Confirm Korvex! Uninstall: Are you sure you want to remove NewApp and and all of its components?\n";
    const std::string keyError =
        "Error deleting key: Error deleting key Software\\NewVendor. Administrative privileges required\n";
    struct Case {
        const char* name;
        int platform;
        bool lockFile, lockKey, skipShared;
        UninstallOutcome outcome;
        Icon icon;
        std::string last, leftover, left;  // the closing message's text; the data file ("": gone); left()
    } cases[] = {
        {"all removed", VER_PLATFORM_WIN32_NT, false, false, false, UninstallOutcome::Uninstalled, Icon::None,
         "NewApp has been uninstalled.", "", ""},
        // A shared library the user does not delete stays and is not reported as left.
        {"shared library skipped", VER_PLATFORM_WIN32_NT, false, false, true, UninstallOutcome::Uninstalled,
         Icon::None, "NewApp has been uninstalled.", "", "library "},
        {"NT, a key stays", VER_PLATFORM_WIN32_NT, false, true, false, UninstallOutcome::ItemsLeft, Icon::Exclamation,
         "Uninstall completed. Some items could not be removed because they may be in use. You should manually "
         "remove items related to the application. See the *.kvu file for items that could not be removed.",
         "Files{\r\n}\r\nRegistry{\r\nHKEY_LOCAL_MACHINE\\Software\\NewVendor\r\n}\r\n" + kEmptyLineSections, "HKLM key "},
        {"NT, a file in use", VER_PLATFORM_WIN32_NT, true, false, false, UninstallOutcome::FilesAtRestart,
         Icon::Exclamation,
         "Uninstall completed. Some files could not be removed because they may be in use. These files will be "
         "deleted when you restart your computer.", "", "library at restart C:\\windows\\system32\\newapp.dll"},
        {"95, a file in use", VER_PLATFORM_WIN32_WINDOWS, true, false, false, UninstallOutcome::FilesLeft95,
         Icon::Exclamation,
         "Uninstall completed. Some files could not be removed because they may be in use. You should manually "
         "remove items related to the application. See the *.kvu file for items that could not be removed.",
         "Files{\r\nC:\\windows\\system32\\newapp.dll\r\n}\r\nRegistry{\r\n}\r\n" + kEmptyLineSections, "library "},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Uninstall m;
        m.system.platform = k.platform;
        if (k.lockFile) m.shell.failing.insert("C:\\windows\\system32\\newapp.dll");
        if (k.lockKey) m.registry.readOnlyKeys.insert("HKLM\\Software\\NewVendor");
        if (k.skipShared) m.sharedCount("C:\\windows\\system32\\newapp.dll", 2);
        const UninstallResult r = m.run();  // a shared library's prompt is closed: it stays
        EXPECT_EQ(r.outcome, k.outcome);
        EXPECT_TRUE(r.refusals.empty());

        EXPECT_EQ(shown(m.prompt.messages),
                  question + (k.lockKey ? keyError : "") + "Korvex! Uninstall complete: " + k.last + "\n");
        EXPECT_EQ(m.prompt.messages.front().icon, Icon::Information);
        EXPECT_EQ(m.prompt.messages.front().buttons, Buttons::YesNo);
        EXPECT_EQ(m.prompt.messages.back().icon, k.icon);

        EXPECT_EQ(m.files.exists(kDataFile) ? m.files.contents(kDataFile) : "", k.leftover);
        EXPECT_FALSE(m.files.exists("C:\\temp.kvu"));
        EXPECT_EQ(*m.registry.text(kGeneral, "SavedForDeletion"), "C:\\a.kvu" + kDel + "C:\\b.kvu" + kDel);

        EXPECT_EQ(left(m), k.left);
        // The uninstall asks the shell once with its own flags (NT adds no error UI).
        EXPECT_EQ(m.shell.operations[0].fFlags & 0x51, 0x51);
    }
}

TEST(Uninstall, KeysAreBackedUpBeforeTheyGo) {
    Uninstall m;
    m.run();
    const std::string backup = "C:\\Korvex\\Backups\\Registry 2023-11-14 221320.reg";
    EXPECT_EQ(m.files.tree("C:\\Korvex\\Backups"), std::vector<std::string>{backup});
    const std::string expected = "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\NewVendor]\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\NewVendor\\NewApp]\r\n\"v\"=\"1\"\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\NewVendor]\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\NewVendor\\NewApp]\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\NewVendor\\NewApp\\Sub]\r\n\"w\"=\"2\"\r\n\r\n";
    EXPECT_EQ(m.files.contents(backup), "\xff\xfe" + Utf16Le(expected));
}

// No answer, an invalid or hostile data file, or a registry Wine is using: nothing the
// file must not name goes, and short of a valid file nothing goes at all.
TEST(Uninstall, NoAnswerBusyRegistryAndBadDataFilesRemoveNothingTheyMustNot) {
    struct Case {
        const char* name;
        std::string text;
        UninstallOutcome outcome;
        std::size_t refusals;
        const char* after = nullptr;  // what is shown after the question (nullptr: not compared)
        Answer answer = Answer::Yes;
        bool busy = false;
    } cases[] = {
        {"No", kDataText, UninstallOutcome::Cancelled, 0, "", Answer::No},
        {"not a data file", "Registry{\r\n}\r\n", UninstallOutcome::NotValid, 0,
         "Error opening file: This is not a valid Korvex! data file. The file may be corrupted.\n"},
        {"Wine is running", kDataText, UninstallOutcome::RegistryInUse, 0,
         "Korvex!: Wine is running programs in this machine. Nothing was removed: close the machine's Windows "
         "programs first.\n", Answer::Yes, true},
        {"binary garbage", std::string("\x00\x01\xff\xfeMZ\x90\x00\r\n}\r\n", 12), UninstallOutcome::NotValid, 0},
        {"sections missing", "Files{\r\nC:\\gone\\x.txt\r\n", UninstallOutcome::Uninstalled, 0},
        // One refused entry of each kind; the NUL must not cut the line short.
        {"a drive root, a path with a NUL, a line of a megabyte, a key every machine needs",
         "Files{\r\nC:\\\r\nC:\\windows\\" + std::string(1, '\0') + "x\r\n" + std::string(1 << 20, 'A') +
             "\r\n}\r\nRegistry{\r\nHKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n}\r\n",
         UninstallOutcome::ItemsLeft, 4},
        {"the shell refuses the Windows folder", "Files{\r\nC:\\windows\r\n}\r\n", UninstallOutcome::ItemsLeft, 1},
        {"a line entry without its separators", "Files{\r\n}\r\nRegistry{\r\n}\r\nWin.ini{\r\n[windows]\r\n}\r\n",
         UninstallOutcome::Uninstalled, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Uninstall m;
        m.shell.refused.insert("C:\\windows");
        m.files.put(kDataFile, k.text);
        if (k.busy) m.registry.refusal = "Wine is running programs in this machine.";
        m.prompt.answers = {k.answer};
        const UninstallResult r = m.run();
        EXPECT_EQ(r.outcome, k.outcome);
        EXPECT_EQ(r.refusals.size(), k.refusals);
        if (k.after) {
            EXPECT_EQ(shown(m.prompt.messages),
                      "Confirm Korvex! Uninstall: Are you sure you want to remove NewApp and and all of its "
                      "components?\n" + std::string(k.after));
        }
        EXPECT_TRUE(m.files.exists("C:\\windows\\system32\\kernel32.dll"));
        EXPECT_TRUE(m.registry.keyExists("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
        EXPECT_EQ(left(m), "folder library HKCU key HKLM key win.ini line ");
        if (k.outcome == UninstallOutcome::Cancelled || k.outcome == UninstallOutcome::NotValid || k.busy) {
            EXPECT_EQ(m.files.contents(kDataFile), k.text);
            EXPECT_TRUE(m.shell.operations.empty());
        }
    }
}

TEST(ChangesFromSavedFile, EveryFileIsASectionOfItsOwn) {
    RemovalMachine m;
    m.files.put("C:\\Program Files\\NewApp\\a.txt", "a");
    m.files.put("C:\\Program Files\\NewApp\\b.txt", "b");
    m.files.put("C:\\s.kvu", "Files{\r\nC:\\Program Files\\NewApp\\a.txt\r\nC:\\Program Files\\NewApp\\b.txt\r\n"
                             "C:\\Program Files\\NewApp\r\n}\r\nRegistry{\r\nHKEY_LOCAL_MACHINE\\Software\\X\r\n"
                             "HKEY_CURRENT_USER\\Software\\Y\r\n}\r\nWin.ini{\r\nrun=a" + kDel + " " + kDel +
                             "\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n");
    ChangesFromSavedFile(m.context, "C:\\s.kvu");
    EXPECT_EQ(m.files.contents("C:\\changes.kvd"),
              "C:\\Program Files\\NewApp\\{\r\na.txt\r\n}\r\nC:\\Program Files\\NewApp\\{\r\nb.txt\r\n}\r\n"
              "!C:\\Program Files\\NewApp\\{\r\n}\r\n");
    EXPECT_EQ(m.files.contents("C:\\hklmchanges.kvd"), "Software\\X\r\n");
    EXPECT_EQ(m.files.contents("C:\\hkcuchanges.kvd"), "Software\\Y\r\n");
    EXPECT_NE(m.files.contents("C:\\SysChanges.kvd").find("Win.ini{\r\nrun=a" + kDel + "\r\n " + kDel + "\r\n}\r\n"),
              std::string::npos);
    EXPECT_TRUE(m.files.exists("C:\\s.kvu"));
}

}  // namespace
}  // namespace korvex::test
