// The refusals by Windows path: the machine's structure and Korvex's own folders are
// refused, their contents are not; suspect paths are refused whatever they name.
#include <gtest/gtest.h>

#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/removal_guard.h"

namespace korvex {
namespace {

struct Case {
    const char* path;
    const char* reason;  // "" when allowed
};

TEST(RemovalGuard, RefusesTheMachinesStructureAndAllowsItsContents) {
    RemovalGuard guard;
    guard.protect("C:\\users\\user\\Korvex Data\\");
    const Case cases[] = {
        {"C:\\", "a drive root"},
        {"d:", "a drive root"},
        {"C:\\\\", "a drive root"},
        {"C:\\windows", "the Windows folder"},
        {"c:\\WINDOWS\\", "the Windows folder"},
        {"C:\\windows\\system32", "a system folder"},
        {"C:/windows/syswow64", "a system folder"},
        {"C:\\windows\\system", "a system folder"},
        {"C:\\windows\\system32\\app.dll", ""},
        {"C:\\windows\\Fonts", "a folder of the Windows folder"},
        {"C:\\windows\\Fonts\\app.ttf", ""},
        {"C:\\Program Files", "a Program Files folder"},
        {"C:\\Program Files (x86)", "a Program Files folder"},
        {"C:\\Program Files\\Common Files", "a Common Files folder"},
        {"C:\\Program Files (x86)\\Common Files", "a Common Files folder"},
        {"C:\\Program Files\\Common Files\\App", ""},
        {"C:\\Program Files\\App", ""},
        {"C:\\ProgramData", "the ProgramData folder"},
        {"C:\\ProgramData\\App", ""},
        {"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", "a shell folder"},
        {"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\App", ""},
        {"C:\\users", "the profiles folder"},
        {"C:\\users\\user", "a user's profile folder"},
        {"C:\\users\\Public", "a user's profile folder"},
        {"C:\\users\\someone else", "a user's profile folder"},
        {"C:\\users\\user\\notes.txt", ""},
        {"C:\\users\\user\\Desktop", "a shell folder"},
        {"C:\\users\\user\\Desktop\\App.lnk", ""},
        {"C:\\users\\Public\\Documents", "a shell folder"},
        {"C:\\users\\Public\\Documents\\App", ""},
        {"C:\\users\\user\\Documents", "a shell folder"},
        {"C:\\users\\user\\Downloads", "a shell folder"},
        {"C:\\users\\user\\Music", "a shell folder"},
        {"C:\\users\\user\\Pictures", "a shell folder"},
        {"C:\\users\\user\\Videos", "a shell folder"},
        {"C:\\users\\user\\Templates", "a shell folder"},
        {"C:\\users\\user\\AppData", "a shell folder"},
        {"C:\\users\\user\\AppData\\Roaming", "a shell folder"},
        {"C:\\users\\user\\AppData\\Roaming\\App", ""},
        {"C:\\users\\user\\AppData\\Local\\Temp", "a shell folder"},
        {"C:\\users\\user\\AppData\\Local\\Temp\\x.tmp", ""},
        {"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup", "a shell folder"},
        {"C:\\users\\user\\Korvex Data", "Korvex's data folder"},
        {"C:\\users\\user\\Korvex Data\\Cdbase.kvd", ""},
        {"C:\\Program Files\\Korvex", "Korvex's program folder"},
        {"C:\\Program Files\\Korvex\\Korvex.hlp", ""},
        {"C:\\Program Files\\App\\..\\Korvex", "a path with . or .. in it"},
        {"C:\\Program Files\\App\\.", "a path with . or .. in it"},
        {"C:\\..", "a path with . or .. in it"},
        {"\\\\server\\share\\file", "a network (UNC) or device path"},
        {"//server/share", "a network (UNC) or device path"},
        {"\\\\?\\C:\\windows", "a network (UNC) or device path"},
        {"\\??\\C:\\a.dll", "a network (UNC) or device path"},
        {"/home/user/file", "not a path on one of the machine's drives"},
        {"Program Files\\App", "not a path on one of the machine's drives"},
        {"", "an empty path"},
        {"C:App", "not a full path on one of the machine's drives"},
        {"C:\\Program Files\\App\\*.*", "a path with wildcards in it"},
        {"C:\\Program Files\\App\\file.txt:stream", "a path with characters Windows does not allow in a name"},
    };
    for (const Case& c : cases) EXPECT_EQ(guard.check(c.path), c.reason) << c.path;
}

TEST(RemovalGuard, RefusesEveryFolderThatHoldsAProtectedOne) {
    MachineLayout layout;
    layout.programFolder = "D:\\Tools\\Korvex";
    RemovalGuard guard(layout);
    guard.protect("E:\\Data\\Korvex");
    const Case cases[] = {
        {"D:\\Tools", "a folder that holds Korvex's program folder"},
        {"D:\\Tools\\Korvex", "Korvex's program folder"},
        {"D:\\Tools\\Other", ""},
        {"E:\\Data", "a folder that holds Korvex's data folder"},
        {"E:\\Data\\Korvex\\old.kvu", ""},
        {"C:\\users\\user\\AppData\\Roaming\\Microsoft", "a shell folder"},
    };
    for (const Case& c : cases) EXPECT_EQ(guard.check(c.path), c.reason) << c.path;
}

TEST(RemovalGuard, FollowsTheLayoutTheMachineReports) {
    FakeSystem system;
    system.platform = VER_PLATFORM_WIN32_WINDOWS;
    system.folders[CSIDL_WINDOWS] = "C:\\WIN98";
    system.folders[CSIDL_SYSTEM] = "C:\\WIN98\\SYSTEM";
    system.folders[CSIDL_APPDATA] = "C:\\WIN98\\Application Data";
    system.program = "C:\\Tools\\Korvex";
    RemovalGuard guard(MachineLayout::Of(system));
    const Case cases[] = {
        {"C:\\win98", "the Windows folder"},
        {"C:\\WIN98\\SYSTEM", "a system folder"},
        {"C:\\WIN98\\SYSTEM\\app.dll", ""},
        {"C:\\WIN98\\Profiles", "the profiles folder"},
        {"C:\\WIN98\\Profiles\\joe", "a user's profile folder"},
        {"C:\\WIN98\\Profiles\\joe\\Desktop", "a shell folder"},
        {"C:\\WIN98\\Application Data", "a shell folder"},
        {"C:\\Tools", "a folder that holds Korvex's program folder"},
        {"C:\\windows", ""},  // not this machine's Windows folder
    };
    for (const Case& c : cases) EXPECT_EQ(guard.check(c.path), c.reason) << c.path;
}

TEST(RemovalGuard, TheInMemoryShellRefusesAndReportsOncePerItem) {
    MemoryFiles files;
    files.put("C:\\windows\\system32\\app.dll", "x");
    files.put("C:\\Program Files\\App\\app.exe", "x");
    FakeShell shell(files);
    ScriptedPrompt prompt;
    FileOperation op;
    op.from = {"C:\\windows\\system32", "C:\\Program Files\\App", "C:\\"};
    op.fFlags = FOF_NOCONFIRMATION;
    EXPECT_NE(shell.fileOperation(op, prompt), 0);
    EXPECT_FALSE(files.exists("C:\\Program Files\\App"));
    EXPECT_TRUE(files.exists("C:\\windows\\system32\\app.dll"));
    const std::vector<Refusal> refusals = shell.takeRefusals();
    ASSERT_EQ(refusals.size(), 2u);
    EXPECT_EQ(refusals[0].path, "C:\\windows\\system32");
    EXPECT_EQ(refusals[0].reason, "a system folder");
    EXPECT_EQ(refusals[1].reason, "a drive root");
    EXPECT_TRUE(shell.takeRefusals().empty());
    EXPECT_FALSE(shell.deleteAtRestart("C:\\windows"));
    EXPECT_TRUE(shell.deleteAtRestart("C:\\windows\\system32\\app.dll"));
    EXPECT_EQ(shell.takeRefusals().size(), 1u);
}

}  // namespace
}  // namespace korvex
