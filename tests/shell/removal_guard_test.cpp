// The refusals by Windows path: the machine's structure and Korvex's own folders are
// refused, their contents are not; suspect paths are refused whatever they name.
#include <gtest/gtest.h>

#include "platform/fake/fake_system.h"
#include "platform/removal_guard.h"

namespace korvex {
namespace {

// Every path of a row gets the row's reason ("" when it may go).
struct Case { const char* reason; std::vector<const char*> paths; };

void expectReasons(const RemovalGuard& guard, const std::vector<Case>& cases) {
    for (const Case& c : cases)
        for (const char* path : c.paths) EXPECT_EQ(guard.check(path), c.reason) << path;
}

TEST(RemovalGuard, RefusesTheMachinesStructureAndAllowsItsContents) {
    RemovalGuard guard;
    guard.protect("C:\\users\\user\\Korvex Data\\");
    expectReasons(guard, {
        {"a drive root", {"C:\\", "d:"}},
        {"the Windows folder", {"c:\\WINDOWS\\"}},
        {"a system folder", {"C:/windows//syswow64"}},
        {"a folder of the Windows folder", {"C:\\windows\\Fonts"}},
        {"a Program Files folder", {"C:\\Program Files (x86)"}},
        {"a Common Files folder", {"C:\\Program Files\\Common Files"}},
        {"the ProgramData folder", {"C:\\ProgramData"}},
        {"the profiles folder", {"C:\\users"}},
        {"a user's profile folder", {"C:\\users\\someone else"}},
        {"a shell folder",
         {"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", "C:\\users\\user\\AppData\\Local\\Temp"}},
        {"Korvex's data folder", {"C:\\users\\user\\Korvex Data"}},
        {"a path with . or .. in it", {"C:\\Program Files\\App\\..\\Korvex"}},
        {"a path with a name ending in a dot or space", {"C:\\windows.", "C:\\Program Files \\App"}},
        {"a network (UNC) or device path", {"//server/share", "\\??\\C:\\a.dll"}},
        {"not a path on one of the machine's drives", {"/home/user/file", "Program Files\\App"}},
        {"an empty path", {""}},
        {"not a full path on one of the machine's drives", {"C:App"}},
        {"a path with wildcards in it", {"C:\\Program Files\\App\\*.*"}},
        {"a path with characters Windows does not allow in a name", {"C:\\Program Files\\App\\file.txt:stream"}},
        {"",
         {"C:\\windows\\system32\\app.dll", "C:\\Program Files\\App", "C:\\users\\user\\Desktop\\App.lnk",
          "C:\\users\\user\\Korvex Data\\Cdbase.kvd", "C:\\Program Files\\App\\.hidden"}},
    });
}

TEST(RemovalGuard, RefusesEveryFolderThatHoldsAProtectedOneAndFollowsTheMachinesLayout) {
    MachineLayout layout;
    layout.programFolder = "D:\\Tools\\Korvex";
    RemovalGuard moved(layout);
    moved.protect("E:\\Data\\Korvex");
    expectReasons(moved, {
        {"Korvex's program folder", {"D:\\Tools\\Korvex"}},
        {"a folder that holds Korvex's data folder", {"E:\\Data"}},
        {"", {"D:\\Tools\\Other", "E:\\Data\\Korvex\\old.kvu"}},
    });

    FakeSystem system;
    system.platform = VER_PLATFORM_WIN32_WINDOWS;
    system.folders[CSIDL_WINDOWS] = "C:\\WIN98";
    system.folders[CSIDL_SYSTEM] = "C:\\WIN98\\SYSTEM";
    system.folders[CSIDL_APPDATA] = "C:\\WIN98\\Application Data";
    system.program = "C:\\Tools\\Korvex";
    expectReasons(RemovalGuard(MachineLayout::Of(system)), {
        {"the Windows folder", {"C:\\win98"}},
        {"a system folder", {"C:\\WIN98\\SYSTEM"}},
        {"the profiles folder", {"C:\\WIN98\\Profiles"}},
        {"a shell folder", {"C:\\WIN98\\Profiles\\joe\\Desktop", "C:\\WIN98\\Application Data"}},
        {"a folder that holds Korvex's program folder", {"C:\\Tools"}},
        {"", {"C:\\WIN98\\SYSTEM\\app.dll", "C:\\windows"}},  // not this machine's Windows folder
    });
}

}  // namespace
}  // namespace korvex
