// What Korvex will not remove whatever a saved file or a row says, and why: keys every
// machine needs (their sub keys may go) and entries that are no Windows path below a
// drive. One row per way of being refused.
#include <gtest/gtest.h>

#include "removal/safety.h"

namespace korvex {
namespace {

TEST(Safety, KeysEveryMachineNeedsStayTheirSubKeysMayGo) {
    const std::string needed = "a key every Windows machine needs";
    const std::pair<const char*, std::string> cases[] = {
        {"HKEY_LOCAL_MACHINE", "a hive of the registry"},
        {"HKEY_CURRENT_USER\\Software", "a key directly below a hive of the registry"},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft", needed},  // on the way to a listed key
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\wow6432node\\microsoft\\windows\\currentversion\\run", needed},
        {"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet", needed},
        {"HKEY_LOCAL_MACHINE\\System\\ControlSet002\\Control\\Session Manager", needed},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NewApp", ""},
        {"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\NewVendor", ""},
        {"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\NewDriver", ""},
        {"HKEY_LOCAL_MACHINE\\System\\ControlSetX\\Services", ""},
    };
    for (const auto& [name, reason] : cases) EXPECT_EQ(KeyRefusal(SplitKeyName(name)).value_or(""), reason) << name;
    const KeyName k = SplitKeyName("HKEY_CURRENT_USER_X\\Software\\\\NewVendor\\");
    EXPECT_EQ(k.hive, HKEY_CURRENT_USER);
    EXPECT_EQ(k.path, "Software\\NewVendor");
    EXPECT_EQ(SplitKeyName("HKEY_CLASSES_ROOT\\Software").hive, HKEY_LOCAL_MACHINE);
}

TEST(Safety, EntriesThatAreNoPathBelowADriveAreRefused) {
    const std::string notFull = "not a full Windows path below a drive";
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\", notFull},
        {"C:Program Files", notFull},
        {"\\\\server\\share\\x", notFull},
        {"Program Files\\NewApp", notFull},
        {std::string("C:\\windows\0x", 12), "not a Windows path (it holds control characters)"},
        {"C:\\Program Files\\..\\windows", "a path with \".\" or \"..\" in it"},
        {"C:\\Program Files\\New/App", "not a Windows path"},
        {"C:\\\\", "a drive root"},
        {"C:\\Program Files\\NewApp", ""},
        {"d:\\Games\\x.sav", ""},
    };
    for (const auto& [path, reason] : cases) EXPECT_EQ(PathRefusal(path).value_or(""), reason) << path;
}

}  // namespace
}  // namespace korvex
