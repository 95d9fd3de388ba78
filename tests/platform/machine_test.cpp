// Making machines in Wine's prefix layout, opening them, finding which one to use,
// and the machine facts read from a prefix.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "platform/fake/memory_registry.h"
#include "platform/folders.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/machine_locator.h"
#include "platform/wine/reg_file_text.h"
#include "platform/wine/wine_machine.h"
#include "platform/wine/wine_system.h"
#include "tests/registry/wine_test_support.h"
#include "tests/support/scoped_env.h"

namespace korvex::wine {
namespace {

namespace fs = std::filesystem;
using namespace korvex::testing;

class MachineTest : public ::testing::Test {
protected:
    TempHostFolder temp{"korvex-machine"};
    std::string base = temp.path();
};

// Every folder the machine names must exist on it.
void expectFoldersExist(WineMachine& machine) {
    System& system = machine.system();
    for (const std::string& folder :
         {WindowsFolder(system), SystemFolder(system), ProgramFilesFolder(system), AppDataFolder(system),
          CookiesFolder(system), InternetCacheFolder(system), RecentFolder(system), FavoritesFolder(system),
          TempFolder(system)}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_TRUE(machine.files().info(folder).isFolder) << folder;
    }
}

TEST_F(MachineTest, Windows7MachineOpensAsAnNtMachine) {
    const std::string dir = base + "/deep/win7";  // parents are made too
    std::string error;
    ASSERT_TRUE(CreateMachine(dir, WindowsVersion::Win7, &error)) << error;
    EXPECT_EQ(fs::read_symlink(dir + "/dosdevices/c:"), "../drive_c");
    // Nothing is left from building.
    for (const auto& entry : fs::directory_iterator(base + "/deep")) EXPECT_EQ(entry.path().filename(), "win7");

    auto machine = WineMachine::open(dir, &error);
    ASSERT_NE(machine, nullptr) << error;
    EXPECT_EQ(TempFolder(machine->system()), "C:\\users\\" + MachineUserName() + "\\Temp\\");
    expectFoldersExist(*machine);

    // The four system text files, with CR LF.
    const std::pair<const char*, const char*> texts[] = {
        {"C:\\windows\\win.ini", "[windows]\r\n"}, {"C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\n"},
        {"C:\\autoexec.bat", "\r\n"}, {"C:\\config.sys", "\r\n"}};
    for (const auto& [file, part] : texts) {
        std::string text;
        ASSERT_TRUE(machine->files().readFile(file, text)) << file;
        EXPECT_NE(text.find(part), std::string::npos) << file;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << file;
        EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << file;
    }

    // The registry files parse, and hold what Korvex's scans look at.
    Registry& reg = machine->registry();
    EXPECT_EQ(Query(reg, HKEY_CURRENT_USER, "Software\\Wine", "Version"), sz("win7"));
    EXPECT_EQ(SubKeys(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall").size(), 2u);
    EXPECT_EQ(Query(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                    "C:\\windows\\system32\\demort.dll"), std::string("\x02\0\0\0", 4));
    EXPECT_TRUE(machine->files().info("C:\\windows\\system32\\demort.dll").exists);

    // Both files in Wine's text form; Software\Wine lives in user.reg only (no Drives key).
    const std::string system = ReadHostFile(dir + "/system.reg"), user = ReadHostFile(dir + "/user.reg");
    EXPECT_EQ(system.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n[", 0), 0u);
    EXPECT_EQ(user.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                         "#arch=win64\n\n[", 0), 0u);
    EXPECT_EQ(system.find("\n[Software\\\\Wine"), std::string::npos);
}

// A 98 machine: the other family, with its own places (no profile).
TEST_F(MachineTest, Windows98MachineIsOfThe95Family) {
    ASSERT_TRUE(CreateMachine(base + "/w98", WindowsVersion::Win98));
    std::string error;
    auto machine = WineMachine::open(base + "/w98", &error);
    ASSERT_NE(machine, nullptr) << error;
    EXPECT_EQ(machine->system().platformId(), VER_PLATFORM_WIN32_WINDOWS);
    expectFoldersExist(*machine);
    // The demo program's folder setting names a folder of this machine.
    const std::string last = Query(machine->registry(), HKEY_CURRENT_USER, "Software\\DemoPaint\\Settings", "LastFolder");
    EXPECT_TRUE(machine->files().info(last.c_str()).isFolder) << last;
}

// An existing machine is left alone: the command-line init test covers that.
TEST_F(MachineTest, EmptyFoldersBecomeMachinesOtherFoldersAreRefused) {
    const std::string other = base + "/documents";
    WriteHostFile(other + "/letter.txt", "hello");
    std::string error;
    EXPECT_FALSE(CreateMachine(other, WindowsVersion::Win7, &error));
    EXPECT_NE(error.find("not empty"), std::string::npos) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(other), fs::directory_iterator()), 1);

    fs::create_directories(base + "/empty");
    EXPECT_TRUE(CreateMachine(base + "/empty", WindowsVersion::Win7));

    // Opening folders that are no prefix says why.
    EXPECT_EQ(WineMachine::open(base + "/nothing", &error), nullptr);
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    EXPECT_EQ(WineMachine::open(other, &error), nullptr);
    EXPECT_NE(error.find("not a Wine prefix"), std::string::npos) << error;
    EXPECT_EQ(WineMachine::open(other + "/letter.txt", &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(RegFileText, EscapesAndOrdersAsWineDoes) {
    EXPECT_EQ(RegFileText::escape("Caf\xe2\x82\xac \"q\" \\ tab\tx", false), "Caf\\x20ac \\\"q\\\" \\\\ tab\\tx");
    EXPECT_EQ(RegFileText::escape("\xc3\xa9" "1", false), "\\x00e91");  // a hex digit follows: four digits
    EXPECT_EQ(RegFileText::escape("\xc3\xa9z", false), "\\xe9z");
    EXPECT_EQ(RegFileText::escape(std::string("a\0" "7b\x01z", 6), false), "a\\0007b\\1z");
    EXPECT_EQ(RegFileText::escape("Zz[Test]\"", true), "Zz\\[Test\\]\"");
    RegFileText reg("REGISTRY\\Machine");
    reg.setString("Software\\B", "x", "1");
    reg.setString("software\\a\\Sub", "", "2");
    reg.setDword("Software\\a", "n", 10);
    reg.setExpandString("Software\\a", "M", "%SystemRoot%");
    reg.setString("Software\\a", "", "d");
    // Keys sorted without regard to case, each before its sub keys, values by name with
    // the default first; "[path] seconds", then "#time=" with the same moment as a FILETIME.
    EXPECT_EQ(reg.text(1796505343),
              "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
              "[Software\\\\a] 1796505343\n#time=1dd84fdc94f6980\n@=\"d\"\n\"M\"=str(2):\"%SystemRoot%\"\n\"n\"=dword:0000000a\n\n"
              "[software\\\\a\\\\Sub] 1796505343\n#time=1dd84fdc94f6980\n@=\"2\"\n\n"
              "[Software\\\\B] 1796505343\n#time=1dd84fdc94f6980\n\"x\"=\"1\"\n");
}

TEST_F(MachineTest, LocatorOrderAndBuiltInMachine) {
    std::map<std::string, std::string> env;
    const EnvironmentLookup lookup = [&](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
    env["HOME"] = base + "/home";

    // "--machine DIR" is the command line's own test.
    std::vector<std::string> args = {"korvex-cli", "--machine=/y", "find"};
    EXPECT_EQ(TakeMachineArgument(args), "/y");
    EXPECT_EQ(args, (std::vector<std::string>{"korvex-cli", "find"}));

    // Nothing set and no ~/.wine: the built-in machine, made on first use.
    env["XDG_DATA_HOME"] = base + "/data";
    std::string error;
    auto found = LocateMachine("", &error, lookup);
    ASSERT_TRUE(found.has_value()) << error;
    EXPECT_EQ(found->dir, base + "/data/korvex/machine");
    EXPECT_TRUE(found->builtIn);  // made there: the command-line tests (also the $HOME default)

    fs::create_directories(base + "/home/.wine");
    EXPECT_EQ(LocateMachine("", &error, lookup)->dir, base + "/home/.wine");
    EXPECT_FALSE(LocateMachine("", &error, lookup)->builtIn);
    env["WINEPREFIX"] = "/wine/prefix";
    EXPECT_EQ(LocateMachine("", &error, lookup)->dir, "/wine/prefix");
    env["KORVEX_MACHINE"] = "/korvex/machine";
    EXPECT_EQ(LocateMachine("", &error, lookup)->dir, "/korvex/machine");
    EXPECT_EQ(LocateMachine("/given", &error, lookup)->dir, "/given");
}

TEST(MachineFolderText, HomeIsWrittenAsTilde) {
    EXPECT_EQ(MachineFolderText("/home/ann/.wine", "/home/ann/"), "~/.wine");
    EXPECT_EQ(MachineFolderText("/home/ann", "/home/ann"), "~");
    EXPECT_EQ(MachineFolderText("/home/anna/.wine", "/home/ann"), "/home/anna/.wine");
    EXPECT_EQ(MachineFolderText("/srv/game", "/"), "/srv/game");
}

// The machine facts of a prefix, read from a registry given in memory and a real
// temporary drive_c.
class WineSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* dir : {"drive_c/windows/system32", "drive_c/users/Public", "drive_c/users/Tester/AppData",
                                "floppy", "dosdevices"})
            fs::create_directories(root + "/" + dir);
        fs::create_symlink("../drive_c", root + "/dosdevices/c:");
        fs::create_symlink("../floppy", root + "/dosdevices/a:");
        fs::create_symlink("../floppy", root + "/dosdevices/d:");
        files = std::make_unique<WineFiles>(root);
        system = std::make_unique<WineSystem>(root, registry, *files);
    }
    // An expandable string under HKEY_CURRENT_USER ("HKCU\..." as setString takes it).
    void setExpand(const std::string& key, const std::string& name, const std::string& text) {
        HKEY h = 0;
        ASSERT_EQ(registry.createKey(HKEY_CURRENT_USER, key.substr(5), &h), ERROR_SUCCESS);
        registry.setValue(h, name, REG_EXPAND_SZ, text + '\0');
        registry.closeKey(h);
    }

    // The type of each drive letter by name: "fixed", "remote", "none" and so on.
    std::string driveTypes(std::string_view letters) {
        static const char* const names[] = {"unknown", "none", "removable", "fixed", "remote", "cdrom", "ramdisk"};
        std::string out;
        for (char letter : letters) out += std::string(out.empty() ? "" : " ") + names[system->driveType(letter)];
        return out;
    }

    ScopedEnv user{"USER", "tester"};
    TempHostFolder temp{"korvex-system"};
    std::string root = temp.path();
    MemoryRegistry registry;
    std::unique_ptr<WineFiles> files;
    std::unique_ptr<WineSystem> system;
};

// Z: is the host's "/" and a drive may map the folder that holds the prefix: neither
// is a disk of the machine, so neither may be offered for a scan. A games folder
// mapped as D: stays a fixed disk.
TEST_F(WineSystemTest, HostFileSystemIsNoFixedDisk) {
    fs::remove(root + "/dosdevices/d:");
    fs::create_directories(root + "/games");
    fs::create_symlink(root + "/games", root + "/dosdevices/d:");
    fs::create_symlink("/", root + "/dosdevices/z:");
    fs::create_symlink(fs::path(root).parent_path(), root + "/dosdevices/y:");
    fs::create_symlink(root, root + "/dosdevices/x:");
    files->reloadDrives();

    EXPECT_EQ(driveTypes("ZYXD"), "remote remote remote fixed");
    registry.setString("HKLM\\Software\\Wine\\Drives", "z:", "hd");
    EXPECT_EQ(driveTypes("Z"), "remote");
}

TEST_F(WineSystemTest, DriveTypesAndLabels) {
    EXPECT_EQ(driveTypes("CcADE"), "fixed fixed removable fixed none");  // a: and b: are floppies without a setting

    // The Drives settings: the type of each drive that exists (e: does not).
    const std::string drives = "HKLM\\Software\\Wine\\Drives";
    const std::pair<const char*, const char*> settings[] = {{"d:", "cdrom"}, {"C:", "network"}, {"a:", "hd"}, {"e:", "cdrom"}};
    for (const auto& [letter, type] : settings) registry.setString(drives, letter, type);
    EXPECT_EQ(driveTypes("DCAE"), "cdrom remote fixed none");
    registry.setString(drives, "d:", "ramdisk");
    EXPECT_EQ(driveTypes("D"), "ramdisk");
    registry.setString(drives, "d:", "floppy");
    EXPECT_EQ(driveTypes("D"), "removable");

    EXPECT_EQ(system->volumeLabel('C'), "");
    WriteHostFile(root + "/drive_c/.windows-label", "System Disk  \r\n");
    EXPECT_EQ(system->volumeLabel('c'), "System Disk");
    EXPECT_EQ(system->volumeLabel('Q'), "");
}

TEST_F(WineSystemTest, PlatformFromVersionSettingThenNtThen9xKeys) {
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_NT);  // nothing set: Wine's default is NT

    registry.setString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", "4.10.2222");
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_WINDOWS);  // as winecfg leaves "Windows 98"

    registry.setString("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion", "6.1");
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_NT);  // the NT keys come first

    registry.setString("HKCU\\Software\\Wine", "Version", "win7");
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_NT);
    registry.setString("HKCU\\Software\\Wine", "Version", "WIN98");  // the setting comes first, in any letter case
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_WINDOWS);

    // The 9x family's own places; system32 while a Wine prefix has it.
    EXPECT_EQ(system->shellFolder(CSIDL_SYSTEM), "C:\\windows\\system32");
    fs::remove_all(root + "/drive_c/windows/system32");
    EXPECT_EQ(system->shellFolder(CSIDL_SYSTEM), "C:\\windows\\system");
    EXPECT_EQ(system->shellFolder(CSIDL_APPDATA), "C:\\windows\\Application Data");
    EXPECT_EQ(system->tempPath(), "C:\\windows\\TEMP\\");
}

TEST_F(WineSystemTest, ShellFoldersFallBackToWineDefaults) {
    // No keys at all: Wine's places under the user's profile (found in its real case).
    EXPECT_EQ(system->profileName(), "Tester");
    EXPECT_EQ(system->shellFolder(CSIDL_SYSTEM), "C:\\windows\\system32");
    EXPECT_EQ(system->shellFolder(CSIDL_PROGRAM_FILES), "C:\\Program Files");
    EXPECT_EQ(system->shellFolder(CSIDL_APPDATA), "C:\\users\\Tester\\AppData\\Roaming");
    EXPECT_EQ(system->shellFolder(0x7777), "");
    EXPECT_EQ(system->tempPath(), "C:\\users\\Tester\\Temp\\");

    // Another user's prefix: the one profile folder there is taken.
    ScopedEnv other("USER", "somebody");
    EXPECT_EQ(system->profileName(), "Tester");
}

const std::string kExplorer = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

TEST_F(WineSystemTest, ShellFolderKeysWithVariables) {
    setExpand(kExplorer + "\\User Shell Folders", "AppData", "%USERPROFILE%\\Roaming Data");
    setExpand(kExplorer + "\\User Shell Folders", "Cache", "%LocalAppData%\\Cache\\");
    setExpand(kExplorer + "\\User Shell Folders", "Cookies", "%NOPE%\\Cookies");
    registry.setString(kExplorer + "\\Shell Folders", "Favorites", "D:\\Favs");
    registry.setString(kExplorer + "\\Shell Folders", "AppData", "C:\\ignored");  // User Shell Folders win
    EXPECT_EQ(system->shellFolder(CSIDL_APPDATA), "C:\\users\\Tester\\Roaming Data");
    EXPECT_EQ(system->shellFolder(CSIDL_INTERNET_CACHE), "C:\\users\\Tester\\AppData\\Local\\Cache");
    EXPECT_EQ(system->shellFolder(CSIDL_COOKIES), "%NOPE%\\Cookies");  // unknown names stay, as Windows leaves them
    EXPECT_EQ(system->shellFolder(CSIDL_FAVORITES), "D:\\Favs");

    registry.setString("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "D:\\WINNT");
    EXPECT_EQ(system->shellFolder(CSIDL_WINDOWS), "D:\\WINNT");
    EXPECT_EQ(system->expand("%SystemRoot%\\x %windir% %SystemDrive%"), "D:\\WINNT\\x D:\\WINNT D:");

    // The environment keys take part, TMP before TEMP as GetTempPath reads them.
    setExpand("HKCU\\Environment", "TEMP", "%USERPROFILE%\\Tmp Files");
    EXPECT_EQ(system->tempPath(), "C:\\users\\Tester\\Tmp Files\\");
    setExpand("HKCU\\Environment", "TMP", "%SystemDrive%\\tmp");
    EXPECT_EQ(system->tempPath(), "D:\\tmp\\");
    setExpand("HKCU\\Environment", "TMP", "%TMP%\\loop");  // refers to itself: ends, unexpanded
    EXPECT_NE(system->tempPath().find("loop"), std::string::npos);
}

TEST_F(WineSystemTest, ShellFolderSettingsNameTheLinkedFoldersToWalk) {
    const fs::path docs = fs::path(root) / "home" / "Docs";
    fs::create_directories(docs);
    fs::create_directory_symlink(docs, root + "/drive_c/users/Tester/My Docs");  // not a name Wine uses
    setExpand(kExplorer + "\\User Shell Folders", "Personal", "%USERPROFILE%\\My Docs");
    registry.setString(kExplorer + "\\Shell Folders", "Desktop", "C:\\users\\Tester\\Desk\\");
    registry.setString(kExplorer + "\\Shell Folders", "AppData", "C:\\users\\Tester\\AppData");  // not a shell folder Wine links
    EXPECT_EQ(system->linkedShellFolderPaths(),
              (std::vector<std::string>{"C:\\users\\Tester\\My Docs", "C:\\users\\Tester\\Desk"}));
    files->setShellFolderSource([this] { return system->linkedShellFolderPaths(); });
    EXPECT_EQ(files->linkedFolders(), (std::vector<std::string>{"C:\\users\\Tester\\My Docs"}));
}

TEST_F(WineSystemTest, TempFolderLongFormOrShortFormWhenMissing) {
    setExpand("HKCU\\Environment", "TMP", "%USERPROFILE%\\TEMP");
    EXPECT_EQ(TempFolder(*system), "C:\\users\\Tester\\TEMP\\");  // missing: the short form, with "\"
    fs::create_directories(root + "/drive_c/users/Tester/Temp");
    EXPECT_EQ(TempFolder(*system), "C:\\users\\Tester\\Temp\\");  // the real case of the folder
}


// Waits for a file a detached program writes (it runs on its own, Korvex never waits).
std::string awaitFile(const std::string& path) {
    for (int i = 0; i < 200 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ReadHostFile(path);
}

TEST_F(WineSystemTest, StartsWineAndTheOpenerDetached) {
    const std::string bin = root + "/bin";
    fs::create_directories(bin);
    ScopedEnv path("PATH", root + "/nowhere:" + bin);  // found in a later folder of the path
    EXPECT_FALSE(system->startProgram("cleanmgr.exe"));  // no wine on PATH
    EXPECT_FALSE(system->openWithShell("https://example.invalid/"));

    // Stand-ins that write their arguments, "[arg]" a line, to a file that appears whole;
    // wine's goes into the machine it is given.
    const std::string scripts[][3] = {{"wine", "\"$@\"", "$WINEPREFIX"}, {"xdg-open", "\"$1\"", root}};
    for (const auto& [name, args, dir] : scripts) {
        const std::string out = "\"" + dir + "/" + name;
        WriteHostFile(bin + "/" + name, "#!/bin/sh\nfor a in " + args + "; do printf '[%s]\\n' \"$a\"; done > " + out +
                                             ".tmp\"\n/bin/mv " + out + ".tmp\" " + out + ".out\"\n");
        fs::permissions(bin + "/" + name, fs::perms::owner_all);
    }

    EXPECT_TRUE(system->startProgram("\"C:\\Program Files\\App\\tool.exe\" /s \"a b\""));
    EXPECT_EQ(awaitFile(root + "/wine.out"), "[C:\\Program Files\\App\\tool.exe]\n[/s]\n[a b]\n");

    WriteHostFile(root + "/drive_c/Docs/Read Me.txt", "x");
    EXPECT_TRUE(system->openWithShell("c:\\docs\\read me.TXT"));
    EXPECT_EQ(awaitFile(root + "/xdg-open.out"), "[" + root + "/drive_c/Docs/Read Me.txt]\n");
    fs::remove(root + "/xdg-open.out");
    EXPECT_TRUE(system->openWithShell("mailto:someone@example.invalid"));
    EXPECT_EQ(awaitFile(root + "/xdg-open.out"), "[mailto:someone@example.invalid]\n");
    EXPECT_FALSE(system->openWithShell("Q:\\nowhere.txt"));
}

TEST_F(WineSystemTest, DatesInTheUsersLocaleWithTheYearWhole) {
    ScopedEnv tz("TZ", "UTC");
    ::tzset();
    const std::string text = system->formatDateTime(1600000000);  // 2020-09-13 12:26:40 UTC
    EXPECT_NE(text.find("2020"), std::string::npos) << text;  // the year whole, never "20"
    EXPECT_NE(text.find("12:26:40"), std::string::npos) << text;
}

}  // namespace
}  // namespace korvex::wine
