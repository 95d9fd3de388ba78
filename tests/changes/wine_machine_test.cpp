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

}  // namespace
}  // namespace korvex
