// The machine facts of a prefix, read from a registry given in memory and a real
// temporary drive_c.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/fake/memory_registry.h"
#include "platform/folders.h"
#include "platform/wine/wine_system.h"
#include "settings/drive_list.h"
#include "tests/support/host_files.h"
#include "tests/support/scoped_env.h"

namespace korvex::wine {
namespace {

namespace fs = std::filesystem;
using namespace korvex::test;

class WineSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root + "/drive_c/windows/system32");
        fs::create_directories(root + "/drive_c/users/Public");
        fs::create_directories(root + "/drive_c/users/Tester/AppData");
        fs::create_directories(root + "/floppy");
        fs::create_directories(root + "/dosdevices");
        fs::create_symlink("../drive_c", root + "/dosdevices/c:");
        fs::create_symlink("../floppy", root + "/dosdevices/a:");
        fs::create_symlink("../floppy", root + "/dosdevices/d:");
        files = std::make_unique<WineFiles>(root);
        system = std::make_unique<WineSystem>(root, registry, *files);
    }
    void setExpand(const std::string& key, const std::string& name, const std::string& text) {
        HKEY h = 0;
        ASSERT_EQ(registry.createKey(key.rfind("HKCU", 0) == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                     key.substr(5), &h), ERROR_SUCCESS);
        registry.setValue(h, name, REG_EXPAND_SZ, text + std::string(1, '\0'));
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
    fs::remove(root + "/dosdevices/a:");
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
    EXPECT_EQ(FillDriveList(*system),
              (std::vector<std::string>{"(C:) ", "(D:) ", "Local hard drives (C:,D:)"}));
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
    registry.setString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "SubVersionNumber", " A ");
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_WINDOWS);  // as winecfg leaves "Windows 98"

    registry.setString("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion", "6.1");
    EXPECT_EQ(system->platformId(), VER_PLATFORM_WIN32_NT);  // the NT keys come first

    const std::pair<const char*, int> versions[] = {{"win98", VER_PLATFORM_WIN32_WINDOWS}, {"WIN95", VER_PLATFORM_WIN32_WINDOWS},
                                                    {"winme", VER_PLATFORM_WIN32_WINDOWS}, {"win7", VER_PLATFORM_WIN32_NT},
                                                    {"win10", VER_PLATFORM_WIN32_NT}, {"winxp", VER_PLATFORM_WIN32_NT}};
    for (const auto& [version, platform] : versions) {
        registry.setString("HKCU\\Software\\Wine", "Version", version);
        EXPECT_EQ(system->platformId(), platform) << version;
    }
}

TEST_F(WineSystemTest, ShellFoldersFallBackToWineDefaults) {
    // No keys at all: Wine's places under the user's profile (found in its real case).
    EXPECT_EQ(system->profileName(), "Tester");
    EXPECT_EQ(system->shellFolder(CSIDL_WINDOWS), "C:\\windows");
    EXPECT_EQ(system->shellFolder(CSIDL_SYSTEM), "C:\\windows\\system32");
    EXPECT_EQ(system->shellFolder(CSIDL_PROGRAM_FILES), "C:\\Program Files");
    EXPECT_EQ(system->shellFolder(CSIDL_APPDATA), "C:\\users\\Tester\\AppData\\Roaming");
    EXPECT_EQ(system->shellFolder(CSIDL_INTERNET_CACHE), "C:\\users\\Tester\\AppData\\Local\\Microsoft\\Windows\\INetCache");
    EXPECT_EQ(system->shellFolder(CSIDL_COOKIES), "C:\\users\\Tester\\AppData\\Local\\Microsoft\\Windows\\INetCookies");
    EXPECT_EQ(system->shellFolder(CSIDL_HISTORY), "C:\\users\\Tester\\AppData\\Local\\Microsoft\\Windows\\History");
    EXPECT_EQ(system->shellFolder(CSIDL_RECENT), "C:\\users\\Tester\\AppData\\Roaming\\Microsoft\\Windows\\Recent");
    EXPECT_EQ(system->shellFolder(CSIDL_FAVORITES), "C:\\users\\Tester\\Favorites");
    EXPECT_EQ(system->shellFolder(0x7777), "");
    EXPECT_EQ(system->tempPath(), "C:\\users\\Tester\\Temp\\");
    EXPECT_EQ(system->programFolder(), "C:\\Program Files\\Korvex");

    // Another user's prefix: the one profile folder there is taken.
    ScopedEnv other("USER", "somebody");
    EXPECT_EQ(system->profileName(), "Tester");
}

TEST_F(WineSystemTest, ShellFolderKeysWithVariables) {
    const std::string explorer = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    setExpand(explorer + "\\User Shell Folders", "AppData", "%USERPROFILE%\\Roaming Data");
    setExpand(explorer + "\\User Shell Folders", "Cache", "%LocalAppData%\\Cache\\");
    setExpand(explorer + "\\User Shell Folders", "Cookies", "%NOPE%\\Cookies");
    registry.setString(explorer + "\\Shell Folders", "Favorites", "D:\\Favs");
    registry.setString(explorer + "\\Shell Folders", "AppData", "C:\\ignored");  // User Shell Folders win
    EXPECT_EQ(system->shellFolder(CSIDL_APPDATA), "C:\\users\\Tester\\Roaming Data");
    EXPECT_EQ(system->shellFolder(CSIDL_INTERNET_CACHE), "C:\\users\\Tester\\AppData\\Local\\Cache");
    EXPECT_EQ(system->shellFolder(CSIDL_COOKIES), "%NOPE%\\Cookies");  // unknown names stay, as Windows leaves them
    EXPECT_EQ(system->shellFolder(CSIDL_FAVORITES), "D:\\Favs");

    registry.setString("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "D:\\WINNT");
    EXPECT_EQ(system->shellFolder(CSIDL_WINDOWS), "D:\\WINNT");
    EXPECT_EQ(WindowsDriveRoot(*system), "D:\\");
    EXPECT_EQ(system->expand("%SystemRoot%\\x %windir% %SystemDrive%"), "D:\\WINNT\\x D:\\WINNT D:");

    // The environment keys take part, TMP before TEMP as GetTempPath reads them.
    setExpand("HKCU\\Environment", "TEMP", "%USERPROFILE%\\Temp");
    EXPECT_EQ(system->tempPath(), "C:\\users\\Tester\\Temp\\");
    setExpand("HKCU\\Environment", "TMP", "%SystemDrive%\\tmp");
    EXPECT_EQ(system->tempPath(), "D:\\tmp\\");
    setExpand("HKCU\\Environment", "TMP", "%TMP%\\loop");  // refers to itself: ends, unexpanded
    EXPECT_NE(system->tempPath().find("loop"), std::string::npos);
}

TEST_F(WineSystemTest, ShellFolderSettingsNameTheLinkedFoldersToWalk) {
    const std::string explorer = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    const fs::path docs = fs::path(root) / "home" / "Docs";
    fs::create_directories(docs);
    fs::create_directory_symlink(docs, root + "/drive_c/users/Tester/My Docs");  // not a name Wine uses
    setExpand(explorer + "\\User Shell Folders", "Personal", "%USERPROFILE%\\My Docs");
    registry.setString(explorer + "\\Shell Folders", "Desktop", "C:\\users\\Tester\\Desk\\");
    registry.setString(explorer + "\\Shell Folders", "AppData", "C:\\users\\Tester\\AppData");  // not a shell folder Wine links
    EXPECT_EQ(system->linkedShellFolderPaths(),
              (std::vector<std::string>{"C:\\users\\Tester\\My Docs", "C:\\users\\Tester\\Desk"}));
    EXPECT_TRUE(files->linkedFolders().empty());
    files->setShellFolderSource([this] { return system->linkedShellFolderPaths(); });
    EXPECT_EQ(files->linkedFolders(), (std::vector<std::string>{"C:\\users\\Tester\\My Docs"}));
}

TEST_F(WineSystemTest, TempFolderLongFormOrShortFormWhenMissing) {
    setExpand("HKCU\\Environment", "TEMP", "%USERPROFILE%\\TEMP");
    setExpand("HKCU\\Environment", "TMP", "%USERPROFILE%\\TEMP");
    EXPECT_EQ(TempFolder(*system), "C:\\users\\Tester\\TEMP\\");  // missing: the short form, with "\"
    fs::create_directories(root + "/drive_c/users/Tester/Temp");
    EXPECT_EQ(TempFolder(*system), "C:\\users\\Tester\\Temp\\");  // the real case of the folder
    EXPECT_EQ(system->longPathName("c:\\USERS\\tester"), "C:\\users\\Tester");
    EXPECT_EQ(system->longPathName("c:\\USERS\\nobody"), "");
}

TEST_F(WineSystemTest, NineXDefaults) {
    registry.setString("HKCU\\Software\\Wine", "Version", "win98");
    EXPECT_EQ(system->shellFolder(CSIDL_SYSTEM), "C:\\windows\\system32");  // a Wine prefix has system32
    fs::remove_all(root + "/drive_c/windows/system32");
    EXPECT_EQ(system->shellFolder(CSIDL_SYSTEM), "C:\\windows\\system");
    EXPECT_EQ(system->shellFolder(CSIDL_APPDATA), "C:\\windows\\Application Data");
    EXPECT_EQ(system->shellFolder(CSIDL_INTERNET_CACHE), "C:\\windows\\Temporary Internet Files");
    EXPECT_EQ(system->tempPath(), "C:\\windows\\TEMP\\");
    EXPECT_EQ(HistoryFolder(*system), "");
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
    ScopedEnv path("PATH", bin.c_str());
    EXPECT_FALSE(system->startProgram("cleanmgr.exe"));  // no wine on PATH
    EXPECT_FALSE(system->openWithShell("https://example.invalid/"));

    WriteHostFile(bin + "/wine", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$WINEPREFIX/wine.out.tmp\"\n"
                             "/bin/mv \"$WINEPREFIX/wine.out.tmp\" \"$WINEPREFIX/wine.out\"\n");
    WriteHostFile(bin + "/xdg-open", "#!/bin/sh\nprintf '[%s]\\n' \"$1\" > \"" + root + "/open.out.tmp\"\n/bin/mv \"" + root +
                                     "/open.out.tmp\" \"" + root + "/open.out\"\n");
    fs::permissions(bin + "/wine", fs::perms::owner_all);
    fs::permissions(bin + "/xdg-open", fs::perms::owner_all);

    EXPECT_TRUE(system->startProgram("\"C:\\Program Files\\App\\tool.exe\" /s \"a b\""));
    EXPECT_EQ(awaitFile(root + "/wine.out"), "[C:\\Program Files\\App\\tool.exe]\n[/s]\n[a b]\n");

    fs::create_directories(root + "/drive_c/Docs");
    WriteHostFile(root + "/drive_c/Docs/Read Me.txt", "x");
    EXPECT_TRUE(system->openWithShell("c:\\docs\\read me.TXT"));
    EXPECT_EQ(awaitFile(root + "/open.out"), "[" + root + "/drive_c/Docs/Read Me.txt]\n");
    fs::remove(root + "/open.out");
    EXPECT_TRUE(system->openWithShell("mailto:someone@example.invalid"));
    EXPECT_EQ(awaitFile(root + "/open.out"), "[mailto:someone@example.invalid]\n");
    EXPECT_FALSE(system->openWithShell("Q:\\nowhere.txt"));
}

TEST_F(WineSystemTest, ClockAndLocale) {
    ScopedEnv tz("TZ", "UTC");
    ::tzset();
    const std::int64_t before = std::time(nullptr);
    EXPECT_GE(system->now(), before);
    EXPECT_LE(system->now(), before + 5);
    const std::string text = system->formatDateTime(1600000000);  // 2020-09-13 12:26:40 UTC
    EXPECT_NE(text.find("2020"), std::string::npos) << text;  // the year whole, never "20"
    EXPECT_NE(text.find("12:26:40"), std::string::npos) << text;
    const char separator = system->decimalSeparator();
    EXPECT_TRUE(separator == '.' || separator == ',') << separator;
}

}  // namespace
}  // namespace korvex::wine
