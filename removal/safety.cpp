#include "removal/safety.h"

#include <array>
#include <vector>

#include "platform/text.h"

namespace korvex {

namespace {

// Keys below a hive that every machine needs. Each listed key and every key on the way
// to it is refused; keys below a listed one may go. The same list guards the 32-bit
// view below Software\Wow6432Node.
constexpr std::string_view kKeysEveryMachineHas[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Installer",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
    "Software\\Microsoft\\Cryptography",
    "Software\\Microsoft\\Internet Explorer",
    "Software\\Microsoft\\Ole",
    "Software\\Microsoft\\COM3",
    "Software\\Microsoft\\Rpc",
    "Software\\Microsoft\\.NETFramework",
    "Software\\Microsoft\\DirectX",
    "Software\\Microsoft\\Windows Script Host",
    "Software\\Classes",
    "Software\\Classes\\CLSID",
    "Software\\Classes\\Interface",
    "Software\\Classes\\TypeLib",
    "Software\\Classes\\AppID",
    "Software\\Classes\\*",
    "Software\\Classes\\Directory",
    "Software\\Classes\\Folder",
    "Software\\Classes\\Drive",
    "Software\\Classes\\exefile",
    "Software\\Classes\\dllfile",
    "Software\\Classes\\.exe",
    "Software\\Classes\\.dll",
    "Software\\Classes\\.lnk",
    "Software\\Classes\\lnkfile",
    "Software\\Classes\\MIME",
    "Software\\Wine",
    "Software\\Policies",
    "Software\\Clients",
    "Software\\Korvex!",
    "Software\\Korvex!\\General",
    "Software\\Korvex!\\Scanning",
    "Software\\Korvex!\\Scheduler",
    "Software\\Korvex!\\Sys Clean",
    "System\\Select",
    "System\\Setup",
    "System\\MountedDevices",
    "Control Panel\\Desktop",
    "Control Panel\\International",
    "Control Panel\\Colors",
    "Control Panel\\Mouse",
    "Control Panel\\Keyboard",
    "Hardware\\Description",
    "Hardware\\DeviceMap",
    "Hardware\\ResourceMap",
    "Software\\Wow6432Node",
};

// The same for every control set: CurrentControlSet, ControlSet001, ControlSet002...
constexpr std::string_view kControlSetKeys[] = {
    "",
    "\\Control",
    "\\Control\\Session Manager",
    "\\Control\\Session Manager\\Environment",
    "\\Control\\Session Manager\\KnownDLLs",
    "\\Control\\Class",
    "\\Control\\Print",
    "\\Control\\Nls",
    "\\Control\\Lsa",
    "\\Control\\ComputerName",
    "\\Control\\TimeZoneInformation",
    "\\Control\\ProductOptions",
    "\\Control\\Keyboard Layouts",
    "\\Services",
    "\\Enum",
    "\\Hardware Profiles",
};

bool isControlSet(std::string_view name) {
    if (EqualsNoCase(name, "CurrentControlSet")) return true;
    if (!StartsWithNoCase(name, "ControlSet") || name.size() == 10) return false;
    for (char ch : name.substr(10))
        if (ch < '0' || ch > '9') return false;
    return true;
}

// True when key (names) is the listed key or lies on the way to it.
bool onTheWayTo(const std::vector<std::string_view>& key, std::string_view listed) {
    const std::vector<std::string_view> names = SplitPath(listed);
    if (key.size() > names.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i)
        if (!EqualsNoCase(key[i], names[i])) return false;
    return true;
}

bool everyMachineHas(std::vector<std::string_view> names) {
    // The 32-bit view mirrors the Software key.
    if (names.size() > 2 && EqualsNoCase(names[0], "Software") && EqualsNoCase(names[1], "Wow6432Node"))
        names.erase(names.begin() + 1);
    for (std::string_view listed : kKeysEveryMachineHas)
        if (onTheWayTo(names, listed)) return true;
    if (names.size() >= 2 && EqualsNoCase(names[0], "System") && isControlSet(names[1])) {
        std::vector<std::string_view> rest(names.begin() + 2, names.end());
        for (std::string_view sub : kControlSetKeys)
            if (onTheWayTo(rest, sub.empty() ? std::string_view{} : sub.substr(1))) return true;
    }
    return false;
}

}  // namespace

KeyName SplitKeyName(std::string_view fullName) {
    KeyName key;
    const std::size_t slash = fullName.find('\\');
    const std::string_view hive = fullName.substr(0, slash);
    key.hive = StartsWithNoCase(hive, "HKEY_CURRENT_USER") ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (slash == std::string_view::npos) return key;
    for (std::string_view name : SplitPath(fullName.substr(slash + 1))) {
        if (!key.path.empty()) key.path += '\\';
        key.path += name;
    }
    return key;
}

std::optional<std::string> KeyRefusal(const KeyName& key) {
    const std::vector<std::string_view> names = SplitPath(key.path);
    if (names.empty()) return "a hive of the registry";
    if (names.size() == 1) return "a key directly below a hive of the registry";
    if (everyMachineHas(names)) return "a key every Windows machine needs";
    return std::nullopt;
}

std::optional<std::string> PathRefusal(std::string_view path) {
    for (unsigned char ch : path)
        if (ch < 0x20 || ch == 0x7f) return "not a Windows path (it holds control characters)";
    if (path.size() < 4 || !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) ||
        path[1] != ':' || path[2] != '\\')
        return "not a full Windows path below a drive";
    for (std::string_view name : SplitPath(path.substr(3))) {
        if (name == "." || name == "..") return "a path with \".\" or \"..\" in it";
        if (name.find_first_of("/:*?\"<>|") != std::string_view::npos) return "not a Windows path";
    }
    if (SplitPath(path.substr(3)).empty()) return "a drive root";
    return std::nullopt;
}

}  // namespace korvex
