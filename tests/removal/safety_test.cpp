// What Korvex will not remove whatever a saved file or a row says: keys every machine
// needs (their sub keys may go) and entries that are no Windows path below a drive.
#include <gtest/gtest.h>

#include "removal/safety.h"

namespace korvex {
namespace {

TEST(Safety, KeysEveryMachineNeedsStayTheirSubKeysMayGo) {
    const char* const refused[] = {
        "HKEY_LOCAL_MACHINE",
        "HKEY_LOCAL_MACHINE\\",
        "HKEY_CURRENT_USER\\Software",
        "HKEY_LOCAL_MACHINE\\\\Software\\\\",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\microsoft\\windows\\currentversion\\run",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "HKEY_LOCAL_MACHINE\\Software\\Classes",
        "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID",
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
        "HKEY_CURRENT_USER\\Software\\Wine",
        "HKEY_CURRENT_USER\\Software\\Korvex!\\General",
        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet",
        "HKEY_LOCAL_MACHINE\\System\\ControlSet001\\Services",
        "HKEY_LOCAL_MACHINE\\System\\ControlSet002\\Control\\Session Manager",
        "HKEY_CLASSES_ROOT\\Software",  // read as HKEY_LOCAL_MACHINE
    };
    const char* const allowed[] = {
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NewApp",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\newapp.exe",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\NewThing",
        "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}",
        "HKEY_LOCAL_MACHINE\\Software\\Classes\\.newapp",
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\NewVendor",
        "HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\newapp.exe",
        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\NewDriver",
        "HKEY_LOCAL_MACHINE\\System\\ControlSetX\\Services",
        "HKEY_CURRENT_USER\\Software\\NewVendor",
    };
    for (const char* name : refused) EXPECT_TRUE(KeyRefusal(SplitKeyName(name)).has_value()) << name;
    for (const char* name : allowed) EXPECT_FALSE(KeyRefusal(SplitKeyName(name)).has_value()) << name;
    const KeyName k = SplitKeyName("HKEY_CURRENT_USER_X\\Software\\\\NewVendor\\");
    EXPECT_EQ(k.hive, HKEY_CURRENT_USER);
    EXPECT_EQ(k.path, "Software\\NewVendor");
}

TEST(Safety, EntriesThatAreNoPathBelowADriveAreRefused) {
    const std::string refused[] = {
        "C:\\", "C:\\\\", "C:", "C:Program Files", "\\\\server\\share\\x", "/home/user/.bashrc",
        "Program Files\\NewApp", "C:\\Program Files\\..\\windows", "C:\\.\\windows", "C:\\Program Files\\NewApp\\..",
        "C:\\Program Files\\New/App", std::string("C:\\windows\0x", 12), "C:\\windows\ttab", "",
    };
    for (const std::string& path : refused) EXPECT_TRUE(PathRefusal(path).has_value()) << path;
    for (const char* path : {"C:\\Program Files\\NewApp", "d:\\Games\\x.sav"})
        EXPECT_FALSE(PathRefusal(path).has_value()) << path;
}

}  // namespace
}  // namespace korvex
