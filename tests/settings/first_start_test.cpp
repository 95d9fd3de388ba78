// The first start of Korvex on a machine, and the starts after it: which settings are
// written, in which order and with which text.
#include <gtest/gtest.h>

#include "registry_dump.h"
#include "settings/startup.h"
#include "settings/support_files.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

const char* const kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Machine : test::MemoryMachine {
    Machine() { files.createFolder("C:\\windows"); }

    // A machine of the Windows 95 family, with its folders inside the Windows folder.
    void makeWindows98() {
        system.platform = VER_PLATFORM_WIN32_WINDOWS;
        system.folders[CSIDL_WINDOWS] = "C:\\WINDOWS";
        system.folders[CSIDL_SYSTEM] = "C:\\WINDOWS\\SYSTEM";
        system.folders[CSIDL_APPDATA] = "C:\\WINDOWS\\Application Data";
        system.folders[CSIDL_COOKIES] = "C:\\WINDOWS\\Cookies";
        system.folders[CSIDL_INTERNET_CACHE] = "C:\\WINDOWS\\Temporary Internet Files";
        system.folders[CSIDL_RECENT] = "C:\\WINDOWS\\Recent";
        system.folders[CSIDL_FAVORITES] = "C:\\WINDOWS\\Favorites";
        system.folders[CSIDL_HISTORY] = "C:\\WINDOWS\\History";  // never asked for on this family
        system.temp = "C:\\WINDOWS\\TEMP\\";
    }

    std::string setting(const std::string& key, const std::string& name) {
        return registry.text("HKCU\\Software\\Korvex!\\" + key, name).value_or("<missing>");
    }
};

// Everything a first start on an NT machine writes, key by key, values in the order written.
std::vector<std::string> expectedRegistry(const std::string& foldersToIgnore) {
    return {
        "[HKCU]", "[HKCU\\Software]", "[HKCU\\Software\\Korvex!]", "[HKCU\\Software\\Korvex!\\General]",
        "DefaultPath=C:\\Program Files\\Korvex\\", "DeleteMode=0", "DriveName=C:\\",
        "OpenSavePath=C:\\Program Files\\Korvex\\Uninstall logs",
        "[HKCU\\Software\\Korvex!\\Scanning]", "AutoUpdateDb=1", "AutoexecScan=1", "ConfigSysScan=1",
        "RegScan=1", "RegFullScan=1", "ScanMode=0", "SystemIniScan=1", "WinIniScan=1",
        "FoldersToIgnore=" + testing::Readable(foldersToIgnore),
        "[HKCU\\Software\\Korvex!\\Scheduler]", "Enabled=1", "TempFiles=1", "TempFolders=1", "DLLFiles=0",
        "Defragmentor=0", "ScanDisk=0", "ChangesStartup=0", "SetupRan=0", "Drive=C:\\", "DriveName=C:\\",
        "Weekly=2", "Done=0", "SetupDetect=1", "OldDel=0", "OldDelDays=7",
        "[HKCU\\Software\\Korvex!\\Sys Clean]", "AlsoScanFiles=", "AlsoScanFolders=", "Bak files=1",
        "Chk files=1", "Chklist files=1", "Dollar files=1", "Fts files=1", "Gid files=1", "Log files=1",
        "Mscreate files=0", "Old files=1", "PrevCompressed Files=1", "Tidle files=1", "Tmp files=1",
        "RecycleBin=0", "CacheFolder=0", "TempFolder=1", "Same Date Time=1", "Same Size=1", "Skip Sysbckup=1",
        "Skip Zero Length=1",
        "[HKCU\\Software\\Microsoft]", "[HKCU\\Software\\Microsoft\\Windows]",
        "[HKCU\\Software\\Microsoft\\Windows\\CurrentVersion]",
        "[HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]",
        "Korvex Scheduler=C:\\Program Files\\Korvex\\Korvex Scheduler.exe",
        "[HKLM]", "[HKLM\\Software]", "[HKLM\\Software\\Classes]", "[HKLM\\Software\\Classes\\.kvu]",
        "@=KorvexUninstall", "[HKLM\\Software\\Classes\\KorvexUninstall]",
        "[HKLM\\Software\\Classes\\KorvexUninstall\\DefaultIcon]", "@=C:\\Program Files\\Korvex\\uninst.ico",
        "[HKLM\\Software\\Classes\\KorvexUninstall\\Shell]",
        // Wine opens documents with "open" only: the same command under that name.
        "[HKLM\\Software\\Classes\\KorvexUninstall\\Shell\\open]",
        "[HKLM\\Software\\Classes\\KorvexUninstall\\Shell\\open\\Command]",
        "@=\"C:\\Program Files\\Korvex\\Korvex!.exe\" \"%1\"",
        "[HKLM\\Software\\Classes\\KorvexUninstall\\Shell\\Uninstall]",
        "[HKLM\\Software\\Classes\\KorvexUninstall\\Shell\\Uninstall\\Command]",
        "@=\"C:\\Program Files\\Korvex\\Korvex!.exe\" \"%1\"",
    };
}

TEST(FirstStart, WritesEveryDefaultInOrderOnAnNtMachineAndLaterStartsWriteNothing) {
    Machine m;
    EXPECT_EQ(SettleDataFolder(m.services, m.access), "C:\\Program Files\\Korvex\\");

    // The folders to ignore; the empty entry stands for the other browser's cache.
    const std::string ignore = testing::WithSeparators(
        {"C:\\windows\\Applog\\", "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\",
         "C:\\users\\user\\Temp\\", "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache\\",
         "C:\\users\\user\\Favorites\\", "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\",
         "C:\\users\\user\\AppData\\Roaming\\", "", "C:\\windows\\Prefetch\\",
         "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\History\\"});
    EXPECT_EQ(testing::DumpRegistry(m.registry), expectedRegistry(ignore));
    EXPECT_TRUE(m.prompt.messages.empty());
    EXPECT_EQ(m.registry.openCount, 0) << "every key opened is closed again";

    // A later start writes nothing when the settings are in place: with every write
    // refused, nobody is told of a refusal.
    const auto filesAfterFirst = m.files.tree("C:\\");
    m.registry.refusal = "Wine is running for this machine.";
    EXPECT_EQ(SettleDataFolder(m.services, m.access), "C:\\Program Files\\Korvex\\");
    EXPECT_TRUE(m.prompt.messages.empty()) << m.prompt.messages.front().text;
    EXPECT_EQ(testing::DumpRegistry(m.registry), expectedRegistry(ignore));
    EXPECT_EQ(m.files.tree("C:\\"), filesAfterFirst);
}

TEST(FirstStart, Windows95FamilyListsNoHistoryAndKeepsTheCacheGroup) {
    // The caches of the other browser's two user profiles (a stray file beside them is
    // no profile) fill the group after Application Data, which an empty entry closes;
    // the missing History folder leaves an empty entry at the end.
    Machine m;
    m.makeWindows98();
    m.files.put("C:\\Program Files\\Netscape\\Users\\default\\prefs.js", "x");
    m.files.put("C:\\Program Files\\Netscape\\Users\\users.txt", "x");
    m.files.createFolder("C:\\Program Files\\Netscape\\Users\\jane");
    SettleDataFolder(m.services, m.access);
    EXPECT_EQ(m.setting("Scanning", "FoldersToIgnore"),
              testing::WithSeparators({"C:\\WINDOWS\\Applog\\", "C:\\WINDOWS\\Recent\\", "C:\\WINDOWS\\TEMP\\",
                              "C:\\WINDOWS\\Temporary Internet Files\\", "C:\\WINDOWS\\Favorites\\",
                              "C:\\WINDOWS\\Cookies\\", "C:\\WINDOWS\\Application Data\\",
                              "C:\\Program Files\\Netscape\\Users\\default\\cache\\",
                              "C:\\Program Files\\Netscape\\Users\\jane\\cache\\", "", "C:\\WINDOWS\\Prefetch\\", ""}));
}

TEST(FirstStart, AnExistingSchedulerEntryIsKeptAndAnEmptyOneTurnsTheSchedulerOff) {
    // Without an entry one is made, as the first start's registry shows.
    for (const auto& [entry, enabled] : {std::pair{"", "0"}, std::pair{"D:\\Tools\\sched.exe", "1"}}) {
        SCOPED_TRACE(entry);
        Machine m;
        m.registry.setString(kRun, "Korvex Scheduler", entry);
        SettleDataFolder(m.services, m.access);
        EXPECT_EQ(m.registry.text(kRun, "Korvex Scheduler"), entry);
        EXPECT_EQ(m.setting("Scheduler", "Enabled"), enabled);
    }
}

TEST(FirstStart, ProgramInADriveRootGetsOneBackslash) {
    Machine m;
    m.system.program = "D:\\";
    m.system.drives['D'] = {DRIVE_FIXED, ""};
    m.files.createFolder("D:\\");
    EXPECT_EQ(SettleDataFolder(m.services, m.access), "D:\\");
    EXPECT_EQ(m.setting("General", "OpenSavePath"), "D:\\Uninstall logs");
}

TEST(LaterStarts, DataFolderFromDefaultPath) {
    // An existing folder elsewhere is used as it is, with a "\" added in memory only.
    Machine m;
    SettleDataFolder(m.services, m.access);
    m.files.createFolder("C:\\KorvexData");
    m.registry.setString("HKCU\\Software\\Korvex!\\General", "DefaultPath", "C:\\KorvexData");
    EXPECT_EQ(SettleDataFolder(m.services, m.access), "C:\\KorvexData\\");
    EXPECT_EQ(m.setting("General", "DefaultPath"), "C:\\KorvexData");

    // A deleted folder is replaced by the program's folder, which is stored without the "\".
    m.files.erase("C:\\KorvexData");
    EXPECT_EQ(SettleDataFolder(m.services, m.access), "C:\\Program Files\\Korvex\\");
    EXPECT_EQ(m.setting("General", "DefaultPath"), "C:\\Program Files\\Korvex");
}

TEST(FirstStart, PlacesSupportFilesWithoutReplacingExistingOnes) {
    Machine m;
    m.files.put("C:\\Program Files\\Korvex\\uninst.ico", "my own icon");
    SettleDataFolder(m.services, m.access);

    EXPECT_EQ(m.files.contents("C:\\Program Files\\Korvex\\uninst.ico"), "my own icon");
    // The others are Korvex's own (their formats are checked with the generators).
    EXPECT_EQ(m.files.contents("C:\\Program Files\\Korvex\\Korvex.hlp"), HelpDocument());

    // A machine without the program's folder gets it.
    Machine bare;
    bare.system.program = "C:\\Apps\\Korvex";
    EXPECT_EQ(SettleDataFolder(bare.services, bare.access), "C:\\Apps\\Korvex\\");
    EXPECT_TRUE(bare.files.exists("C:\\Apps\\Korvex\\scan.avi"));
}

TEST(FirstStart, RefusedRegistryWritesLeaveTheRegistryAlone) {
    Machine m;
    m.registry.refusal = "Wine is running for this machine.";
    EXPECT_EQ(SettleDataFolder(m.services, m.access), "C:\\Program Files\\Korvex\\");
    EXPECT_FALSE(m.registry.keyExists("HKCU\\Software\\Korvex!\\General"));
    EXPECT_FALSE(m.registry.text(kRun, "Korvex Scheduler").has_value());
}

}  // namespace
}  // namespace korvex
