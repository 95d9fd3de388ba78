// Update database and Find changes on a real Wine prefix in a temporary folder: the
// moves, copies, deletions and hidden attributes of a run on the disk, not in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "changes/find_changes.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "scandb/update_database.h"
#include "settings/settings_keys.h"
#include "tests/support/host_files.h"
#include "tests/support/scoped_env.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

class TempMachine {
public:
    TempMachine() {
        std::string error;
        made = wine::CreateMachine((dir / "machine").string(), wine::WindowsVersion::Win98, &error);
        if (made) machine = wine::WineMachine::open((dir / "machine").string(), &error);
    }
    fs::path c() const { return dir / "machine" / "drive_c"; }
    void file(const std::string& relative, const std::string& text) { test::WriteHostFile(c() / relative, text); }
    std::string read(const fs::path& p) { return test::ReadHostFile(p); }

    test::TempHostFolder folder{"korvex-find"};
    fs::path dir = folder.path();
    bool made = false;
    std::unique_ptr<wine::WineMachine> machine;
};

TEST(FindChangesOnWine, FindsAnInstallationAndRefreshesTheDatabaseOnDisk) {
    TempMachine t;
    ASSERT_TRUE(t.made);
    ASSERT_TRUE(t.machine);
    Services services = t.machine->services();
    ScriptedPrompt prompt;
    RegistryAccess registry(services.registry, prompt);
    HKEY key = registry.CreateKey(HKEY_CURRENT_USER, settings::kScanningKey);
    ASSERT_NE(key, 0u);
    for (const char* name : {"AutoUpdateDb", "RegScan", "WinIniScan", "SystemIniScan", "AutoexecScan", "ConfigSysScan"})
        registry.SetValue(key, name, "1");
    registry.SetValue(key, "RegFullScan", "0");
    registry.SetValue(key, "ScanMode", "0");
    registry.CloseKey(key);
    const std::string data = "C:\\Korvex\\";
    fs::create_directories(t.c() / "Korvex");

    bool stop = false;
    scandb::UpdateRequest request{data, "C:", {}};
    ASSERT_EQ(scandb::UpdateDatabase(services, prompt, request, stop), scandb::UpdateOutcome::Completed);
    ASSERT_TRUE(fs::exists(t.c() / "Korvex" / "Cdbase.kvd"));

    // The installation.
    t.file("Program Files/NewApp/app.exe", "a");
    t.file("Program Files/NewApp/Data/d.dat", "d");
    t.file("windows/newlib.dll", "n");
    HKEY app = registry.CreateKey(HKEY_LOCAL_MACHINE, "Software\\NewVendor\\NewApp");
    ASSERT_NE(app, 0u);
    registry.SetValue(app, "Path", "C:\\Program Files\\NewApp");
    registry.CloseKey(app);
    const std::string winIni = t.read(t.c() / "windows" / "win.ini");
    t.file("windows/win.ini", winIni + "[NewApp]\r\nRun=1\r\n");

    FindProgress progress;
    ASSERT_EQ(FindChanges(services, registry, prompt, data, "C:", stop, progress), FindOutcome::Completed);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(t.read(t.c() / "changes.kvd"), "!C:\\Program Files\\NewApp\\{\r\n}\r\nC:\\windows\\{\r\nnewlib.dll\r\n}\r\n");
    EXPECT_EQ(t.read(t.c() / "hklmchanges.kvd"), "Software\\NewVendor\r\n");
    EXPECT_EQ(t.read(t.c() / "hkcuchanges.kvd"), "");
    const std::string sys = t.read(t.c() / "SysChanges.kvd");
    EXPECT_NE(sys.find("Win.ini{\r\n[NewApp]\x7fRun=1\x7f\r\n \x7f \x7f\r\n}\r\n"), std::string::npos) << sys;

    // No work file is left in the drive root; the new snapshot replaced the old one.
    for (const char* name : {"current.kvd", "0current.kvd", "dbase.kvd", "hkcutmp.kvd", "hklmtmp.kvd"})
        EXPECT_FALSE(fs::exists(t.c() / name)) << name;
    EXPECT_NE(t.read(t.c() / "Korvex" / "Cdbase.kvd").find("\r\nnewlib.dll\r\n"), std::string::npos);
    EXPECT_NE(t.read(t.c() / "Korvex" / "hklmReg.kvd").find("Software\\NewVendor\\NewApp\r\n"), std::string::npos);
    EXPECT_EQ(t.read(t.c() / "Korvex" / "winIni.kvd"), t.read(t.c() / "windows" / "win.ini"));

    // A second run on the refreshed snapshot finds nothing.
    ASSERT_EQ(FindChanges(services, registry, prompt, data, "C:", stop, progress), FindOutcome::Completed);
    EXPECT_EQ(t.read(t.c() / "changes.kvd"), "");
    EXPECT_EQ(t.read(t.c() / "hklmchanges.kvd"), "");
}

// Wine links the profile's Desktop into the user's home: an installer's shortcut lands
// there, outside drive_c, and must be found like a file of the drive.
TEST(FindChangesOnWine, FindsAShortcutOnTheDesktopWineLinksIntoTheHome) {
    test::TempHostFolder temp{"korvex-desktop"};
    const fs::path home = fs::path(temp.path()) / "home", dir = fs::path(temp.path()) / "machine";
    test::ScopedEnv homeVariable("HOME", home.string());
    test::WriteHostFile(home / "Desktop" / "Old Game.lnk", "x");
    test::WriteHostFile(home / "Desktop" / "Saves" / "slot1.sav", "x");
    test::WriteHostFile(home / "notes.txt", "x");
    std::string error;
    ASSERT_TRUE(wine::CreateMachine(dir.string(), wine::WindowsVersion::Win10, &error)) << error;
    fs::path profile;
    for (const auto& entry : fs::directory_iterator(dir / "drive_c" / "users"))
        if (entry.path().filename() != "Public") profile = entry.path();
    ASSERT_FALSE(profile.empty());
    for (const char* name : {"Desktop", "Music"}) fs::remove_all(profile / name);
    fs::create_directory_symlink(home / "Desktop", profile / "Desktop");
    fs::create_directory_symlink(home, profile / "Music");
    auto machine = wine::WineMachine::open(dir.string(), &error);
    ASSERT_TRUE(machine) << error;
    Services services = machine->services();
    ScriptedPrompt prompt;
    RegistryAccess registry(services.registry, prompt);
    const HKEY key = registry.CreateKey(HKEY_CURRENT_USER, settings::kScanningKey);
    for (const char* name : {"AutoUpdateDb", "RegScan", "WinIniScan", "SystemIniScan", "AutoexecScan", "ConfigSysScan",
                             "ScanMode"})
        registry.SetValue(key, name, "0");
    registry.CloseKey(key);
    fs::create_directories(dir / "drive_c" / "Korvex");
    bool stop = false;
    scandb::UpdateRequest request{"C:\\Korvex\\", "C:", {}};
    ASSERT_EQ(scandb::UpdateDatabase(services, prompt, request, stop), scandb::UpdateOutcome::Completed);
    const std::string desktop = "C:\\users\\" + profile.filename().string() + "\\Desktop\\{\r\n";
    const std::string list = test::ReadHostFile(dir / "drive_c" / "Korvex" / "Cdbase.kvd");
    EXPECT_NE(list.find(desktop + "Old Game.lnk\r\n}\r\n"), std::string::npos) << list;

    // The installer's shortcut; and in the home, outside every shell folder, what is not its.
    test::WriteHostFile(home / "Desktop" / "Beta Viewer.lnk", "x");
    test::WriteHostFile(home / ".history", "x");
    test::WriteHostFile(home / "Projects" / "new.txt", "x");
    FindProgress progress;
    ASSERT_EQ(FindChanges(services, registry, prompt, "C:\\Korvex\\", "C:", stop, progress), FindOutcome::Completed);
    EXPECT_EQ(test::ReadHostFile(dir / "drive_c" / "changes.kvd"), desktop + "Beta Viewer.lnk\r\n}\r\n");
}

}  // namespace
}  // namespace korvex
