// What Korvex will not remove whatever a saved file or a row says: keys every machine
// needs (their sub keys may go) and entries that are no Windows path below a drive.
#include <gtest/gtest.h>

#include "removal/safety.h"

namespace korvex {
namespace {

TEST(Safety, KeysEveryMachineNeedsStayTheirSubKeysMayGo) {
    struct Case {
        const char* name;
        bool refused;
    } cases[] = {
        {"HKEY_LOCAL_MACHINE", true},
        {"HKEY_LOCAL_MACHINE\\", true},
        {"HKEY_CURRENT_USER\\Software", true},
        {"HKEY_LOCAL_MACHINE\\\\Software\\\\", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion", true},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\microsoft\\windows\\currentversion\\run", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NewApp", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\newapp.exe", false},
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\NewThing", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Classes", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Classes\\.newapp", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\NewVendor", false},
        {"HKEY_CURRENT_USER\\Software\\Wine", true},
        {"HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\newapp.exe", false},
        {"HKEY_CURRENT_USER\\Software\\Korvex!\\General", true},
        {"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet", true},
        {"HKEY_LOCAL_MACHINE\\System\\ControlSet001\\Services", true},
        {"HKEY_LOCAL_MACHINE\\System\\ControlSet002\\Control\\Session Manager", true},
        {"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\NewDriver", false},
        {"HKEY_LOCAL_MACHINE\\System\\ControlSetX\\Services", false},
        {"HKEY_CLASSES_ROOT\\Software", true},  // read as HKEY_LOCAL_MACHINE
        {"HKEY_CURRENT_USER\\Software\\NewVendor", false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(KeyRefusal(SplitKeyName(k.name)).has_value(), k.refused);
    }
    const KeyName k = SplitKeyName("HKEY_CURRENT_USER_X\\Software\\\\NewVendor\\");
    EXPECT_EQ(k.hive, HKEY_CURRENT_USER);
    EXPECT_EQ(k.path, "Software\\NewVendor");
}

TEST(Safety, EntriesThatAreNoPathBelowADriveAreRefused) {
    struct Case {
        std::string path;
        bool refused;
    } cases[] = {
        {"C:\\Program Files\\NewApp", false},
        {"d:\\Games\\x.sav", false},
        {"C:\\", true},
        {"C:\\\\", true},
        {"C:", true},
        {"C:Program Files", true},
        {"\\\\server\\share\\x", true},
        {"/home/user/.bashrc", true},
        {"Program Files\\NewApp", true},
        {"C:\\Program Files\\..\\windows", true},
        {"C:\\.\\windows", true},
        {"C:\\Program Files\\NewApp\\..", true},
        {"C:\\Program Files\\New/App", true},
        {std::string("C:\\windows\0x", 12), true},
        {"C:\\windows\ttab", true},
        {"", true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.path);
        EXPECT_EQ(PathRefusal(k.path).has_value(), k.refused);
    }
}

}  // namespace
}  // namespace korvex
