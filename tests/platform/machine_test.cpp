// Making machines in Wine's prefix layout, opening them, and finding which one to use.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/folders.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/machine_locator.h"
#include "platform/wine/reg_file_text.h"
#include "platform/wine/wine_machine.h"
#include "tests/registry/wine_test_support.h"
#include "tests/support/host_files.h"

namespace korvex::wine {
namespace {

namespace fs = std::filesystem;
using namespace korvex::test;

// A value as text: strings without their NUL, DWORDs in decimal; "<no key>" or
// "<no value>" when missing.
std::string query(Registry& registry, HKEY root, const std::string& key, const std::string& name,
                  std::uint32_t* typeOut = nullptr) {
    std::uint32_t type = 0;
    std::string data = testing::Query(registry, root, key, name, &type);
    if (typeOut) *typeOut = type;
    if (type == REG_DWORD && data.size() == 4) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        return std::to_string(v);
    }
    if (type != 0 && !data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

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
    EXPECT_TRUE(IsMachineFolder(dir));
    EXPECT_EQ(fs::read_symlink(dir + "/dosdevices/c:"), "../drive_c");
    for (const auto& entry : fs::directory_iterator(base + "/deep"))  // nothing left from building
        EXPECT_EQ(entry.path().filename(), "win7");

    auto machine = WineMachine::open(dir, &error);
    ASSERT_NE(machine, nullptr) << error;
    System& system = machine->system();
    EXPECT_EQ(system.driveType('C'), DRIVE_FIXED);
    EXPECT_EQ(system.driveType('D'), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(system.platformId(), VER_PLATFORM_WIN32_NT);
    const std::string user = MachineUserName();
    EXPECT_EQ(AppDataFolder(system), "C:\\users\\" + user + "\\AppData\\Roaming\\");
    EXPECT_EQ(HistoryFolder(system), "C:\\users\\" + user + "\\AppData\\Local\\Microsoft\\Windows\\History\\");
    EXPECT_EQ(TempFolder(system), "C:\\users\\" + user + "\\Temp\\");
    EXPECT_EQ(SystemFolder(system), "C:\\windows\\system32\\");
    expectFoldersExist(*machine);
    EXPECT_TRUE(machine->files().info("C:\\Program Files (x86)").isFolder);

    // The four system text files, with CR LF.
    std::string text;
    ASSERT_TRUE(machine->files().readFile("C:\\windows\\win.ini", text));
    EXPECT_NE(text.find("[windows]\r\n"), std::string::npos);
    EXPECT_NE(text.find("[mail]\r\n"), std::string::npos);
    ASSERT_TRUE(machine->files().readFile("C:\\WINDOWS\\SYSTEM.INI", text));
    EXPECT_NE(text.find("[boot]\r\n"), std::string::npos);
    for (const char* boot : {"C:\\autoexec.bat", "C:\\config.sys"}) {
        ASSERT_TRUE(machine->files().readFile(boot, text)) << boot;
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
    }

    // The registry files parse, and hold what Korvex's scans look at.
    Registry& reg = machine->registry();
    EXPECT_EQ(query(reg, HKEY_CURRENT_USER, "Software\\Wine", "Version"), "win7");
    EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"), "6.1");
    std::uint32_t type = 0;
    EXPECT_EQ(query(reg, HKEY_CURRENT_USER, "Environment", "TEMP", &type), "%USERPROFILE%\\Temp");
    EXPECT_EQ(type, REG_EXPAND_SZ);
    EXPECT_EQ(query(reg, HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Cache"),
              "C:\\users\\" + user + "\\AppData\\Local\\Microsoft\\Windows\\INetCache");
    EXPECT_EQ(testing::SubKeys(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall").size(), 2u);
    EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                    "C:\\windows\\system32\\demort.dll", &type), "2");
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_TRUE(machine->files().info("C:\\windows\\system32\\demort.dll").exists);
}

TEST_F(MachineTest, RegistryFilesAreInWinesTextForm) {
    ASSERT_TRUE(CreateMachine(base + "/m", WindowsVersion::Win10));
    const std::string system = ReadHostFile(base + "/m/system.reg");
    const std::string user = ReadHostFile(base + "/m/user.reg");
    EXPECT_EQ(system.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n[", 0), 0u)
        << system.substr(0, 120);
    EXPECT_EQ(user.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n[", 0), 0u)
        << user.substr(0, 120);
    EXPECT_EQ(system.find('\r'), std::string::npos);  // Wine's files end lines with LF alone
    EXPECT_NE(system.find("\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] "), std::string::npos);
    EXPECT_NE(system.find("\"CurrentMajorVersionNumber\"=dword:0000000a\n"), std::string::npos);
    EXPECT_NE(system.find("\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"), std::string::npos);
    EXPECT_NE(user.find("\"Version\"=\"win10\"\n"), std::string::npos);
    EXPECT_NE(user.find("\"AppData\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Roaming\"\n"), std::string::npos);

    // Each section: "[path] seconds", then "#time=" with the same moment as a FILETIME.
    const std::size_t section = system.find("\n[Software\\\\Wine");
    const std::size_t at = system.find("\n[", 0);
    ASSERT_NE(at, std::string::npos);
    const std::size_t close = system.find("] ", at);
    const std::size_t end = system.find('\n', close);
    const long long seconds = std::stoll(system.substr(close + 2, end - close - 2));
    const std::string time = system.substr(end + 1, system.find('\n', end + 1) - end - 1);
    const unsigned long long filetime = std::stoull(time.substr(6), nullptr, 16);
    EXPECT_EQ(time.substr(0, 6), "#time=");
    EXPECT_EQ(filetime / 10000000ull - 11644473600ull, static_cast<unsigned long long>(seconds));
    EXPECT_EQ(section, std::string::npos);  // Software\Wine lives in user.reg only; no Drives key
}

TEST_F(MachineTest, Windows98MachineIsOfThe95Family) {
    ASSERT_TRUE(CreateMachine(base + "/w98", WindowsVersion::Win98));
    std::string error;
    auto machine = WineMachine::open(base + "/w98", &error);
    ASSERT_NE(machine, nullptr) << error;
    System& system = machine->system();
    EXPECT_EQ(system.platformId(), VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(HistoryFolder(system), "");
    EXPECT_EQ(SystemFolder(system), "C:\\windows\\system\\");
    EXPECT_EQ(InternetCacheFolder(system), "C:\\windows\\Temporary Internet Files\\");
    EXPECT_EQ(TempFolder(system), "C:\\windows\\TEMP\\");
    expectFoldersExist(*machine);
    Registry& reg = machine->registry();
    EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber"), "4.10.2222");
    EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "SubVersionNumber"), " A ");
    EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"), "<no key>");
    // The demo program's folder setting names a folder of this machine (no profile on 98).
    EXPECT_TRUE(machine->files().info(query(reg, HKEY_CURRENT_USER, "Software\\DemoPaint\\Settings", "LastFolder")).isFolder);

    // Without the Version setting (as winecfg leaves "Windows 98"), the 9x keys still tell.
    HKEY wine = 0;
    ASSERT_EQ(reg.openKey(HKEY_CURRENT_USER, "Software\\Wine", KEY_ALL_ACCESS_RW, &wine), ERROR_SUCCESS);
    EXPECT_EQ(reg.deleteValue(wine, "Version"), ERROR_SUCCESS);
    reg.closeKey(wine);
    EXPECT_EQ(system.platformId(), VER_PLATFORM_WIN32_WINDOWS);
}

TEST_F(MachineTest, ExistingMachinesStayAndOtherFoldersAreRefused) {
    const std::string dir = base + "/m";
    ASSERT_TRUE(CreateMachine(dir, WindowsVersion::Win7));
    const std::string before = ReadHostFile(dir + "/system.reg");
    WriteHostFile(dir + "/drive_c/mine.txt", "user data");
    std::string error;
    EXPECT_TRUE(CreateMachine(dir, WindowsVersion::Win98, &error)) << error;  // already a machine: untouched
    EXPECT_EQ(ReadHostFile(dir + "/system.reg"), before);
    EXPECT_EQ(ReadHostFile(dir + "/drive_c/mine.txt"), "user data");

    const std::string other = base + "/documents";
    WriteHostFile(other + "/letter.txt", "hello");
    error.clear();
    EXPECT_FALSE(CreateMachine(other, WindowsVersion::Win7, &error));
    EXPECT_NE(error.find("not empty"), std::string::npos) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(other), fs::directory_iterator()), 1);

    const std::string empty = base + "/empty";
    fs::create_directories(empty);
    EXPECT_TRUE(CreateMachine(empty, WindowsVersion::Win7));
    EXPECT_TRUE(IsMachineFolder(empty));

    // Opening folders that are no prefix says why.
    EXPECT_EQ(WineMachine::open(base + "/nothing", &error), nullptr);
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    EXPECT_EQ(WineMachine::open(other, &error), nullptr);
    EXPECT_NE(error.find("not a Wine prefix"), std::string::npos) << error;
    EXPECT_EQ(WineMachine::open(other + "/letter.txt", &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(RegFileText, EscapesAsWineDoes) {
    EXPECT_EQ(RegFileText::escape("Caf\xe2\x82\xac \"q\" \\ tab\tx", false), "Caf\\x20ac \\\"q\\\" \\\\ tab\\tx");
    EXPECT_EQ(RegFileText::escape("\xc3\xa9" "1", false), "\\x00e91");  // a hex digit follows: four digits
    EXPECT_EQ(RegFileText::escape("\xc3\xa9z", false), "\\xe9z");
    EXPECT_EQ(RegFileText::escape(std::string("a\0" "7b\x01z", 6), false), "a\\0007b\\1z");
    EXPECT_EQ(RegFileText::escape("Zz[Test]\"", true), "Zz\\[Test\\]\"");
    RegFileText reg("REGISTRY\\Machine");
    reg.setString("Software\\B", "x", "1");
    reg.setString("software\\a\\Sub", "", "2");
    reg.setDword("Software\\a", "n", 10);
    reg.setString("Software\\a", "M", "3");
    reg.setString("Software\\a", "", "d");
    const std::string text = reg.text(1796505343);
    EXPECT_NE(text.find("\n[Software\\\\a] 1796505343\n#time="), std::string::npos);
    EXPECT_LT(text.find("[Software\\\\a]"), text.find("[software\\\\a\\\\Sub]"));  // a key before its sub keys
    EXPECT_LT(text.find("[software\\\\a\\\\Sub]"), text.find("[Software\\\\B]"));  // sorted without regard to case
    EXPECT_NE(text.find("\n@=\"2\"\n"), std::string::npos);
    // Values sorted by name without regard to case, the default first, as Wine keeps them.
    EXPECT_NE(text.find("\n@=\"d\"\n\"M\"=\"3\"\n\"n\"=dword:0000000a\n"), std::string::npos);
}

TEST_F(MachineTest, LocatorOrderAndBuiltInMachine) {
    std::map<std::string, std::string> env;
    const EnvironmentLookup lookup = [&](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
    env["HOME"] = base + "/home";
    fs::create_directories(base + "/home");

    std::vector<std::string> args = {"korvex-cli", "--machine", "/x/prefix", "update"};
    EXPECT_EQ(TakeMachineArgument(args), "/x/prefix");
    EXPECT_EQ(args, (std::vector<std::string>{"korvex-cli", "update"}));
    args = {"korvex-cli", "--machine=/y", "find"};
    EXPECT_EQ(TakeMachineArgument(args), "/y");
    EXPECT_EQ(args, (std::vector<std::string>{"korvex-cli", "find"}));
    EXPECT_EQ(TakeMachineArgument(args), "");

    // Nothing set and no ~/.wine: the built-in machine, made on first use.
    env["XDG_DATA_HOME"] = base + "/data";
    std::string error;
    auto found = LocateMachine("", &error, lookup);
    ASSERT_TRUE(found.has_value()) << error;
    EXPECT_EQ(found->dir, base + "/data/korvex/machine");
    EXPECT_TRUE(found->builtIn);
    EXPECT_TRUE(IsMachineFolder(found->dir));
    EXPECT_NE(WineMachine::open(found->dir, &error), nullptr) << error;
    env.erase("XDG_DATA_HOME");
    EXPECT_EQ(BuiltInMachineDir(lookup), base + "/home/.local/share/korvex/machine");

    fs::create_directories(base + "/home/.wine");
    EXPECT_EQ(LocateMachine("", &error, lookup)->dir, base + "/home/.wine");
    EXPECT_FALSE(LocateMachine("", &error, lookup)->builtIn);
    env["WINEPREFIX"] = "/wine/prefix";
    EXPECT_EQ(LocateMachine("", &error, lookup)->dir, "/wine/prefix");
    env["KORVEX_MACHINE"] = "/korvex/machine";
    EXPECT_EQ(LocateMachine("", &error, lookup)->dir, "/korvex/machine");
    EXPECT_EQ(LocateMachine("/given", &error, lookup)->dir, "/given");

    // A built-in machine that cannot be made is reported.
    env.clear();
    env["HOME"] = base + "/home2";
    WriteHostFile(base + "/home2/.local/share/korvex/machine/stray.txt", "x");
    EXPECT_FALSE(LocateMachine("", &error, lookup).has_value());
    EXPECT_FALSE(error.empty());
}

TEST(MachineFolderText, HomeIsWrittenAsTilde) {
    EXPECT_EQ(MachineFolderText("/home/ann/.wine", "/home/ann"), "~/.wine");
    EXPECT_EQ(MachineFolderText("/home/ann/.wine", "/home/ann/"), "~/.wine");
    EXPECT_EQ(MachineFolderText("/home/ann", "/home/ann"), "~");
    EXPECT_EQ(MachineFolderText("/home/anna/.wine", "/home/ann"), "/home/anna/.wine");
    EXPECT_EQ(MachineFolderText("/srv/prefixes/game", "/home/ann"), "/srv/prefixes/game");
    EXPECT_EQ(MachineFolderText("/srv/game", "/"), "/srv/game");
}

}  // namespace
}  // namespace korvex::wine
