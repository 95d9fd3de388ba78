// Machine facts of a Wine prefix, read where Wine itself keeps them.
#include "platform/wine/wine_system.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include "platform/text.h"
#include "platform/wine/host_launch.h"
#include "platform/wine/host_names.h"

namespace korvex::wine {

namespace {

constexpr std::string_view kWindowsKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::string_view kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kSystemEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

struct UserFolder {
    int csidl;
    const char* valueName;
    const char* ntDefault;   // below the profile folder
    const char* nineXDefault; // below the Windows folder
};

constexpr UserFolder kUserFolders[] = {
    {CSIDL_APPDATA, "AppData", "AppData\\Roaming", "Application Data"},
    {CSIDL_INTERNET_CACHE, "Cache", "AppData\\Local\\Microsoft\\Windows\\INetCache", "Temporary Internet Files"},
    {CSIDL_COOKIES, "Cookies", "AppData\\Local\\Microsoft\\Windows\\INetCookies", "Cookies"},
    {CSIDL_HISTORY, "History", "AppData\\Local\\Microsoft\\Windows\\History", "History"},
    {CSIDL_RECENT, "Recent", "AppData\\Roaming\\Microsoft\\Windows\\Recent", "Recent"},
    {CSIDL_FAVORITES, "Favorites", "Favorites", "Favorites"},
};

std::string withoutBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

// The user's locale for dates and numbers, without touching the process-wide locale.
locale_t userLocale() {
    static const locale_t locale = [] {
        locale_t l = ::newlocale(LC_ALL_MASK, "", nullptr);
        return l ? l : ::newlocale(LC_ALL_MASK, "C", nullptr);
    }();
    return locale;
}

bool isAddress(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2) return false;  // "C:" is a drive
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

}  // namespace

WineSystem::WineSystem(std::string prefixDir, Registry& registry, WineFiles& files)
    : prefix_(std::move(prefixDir)), registry_(registry), files_(files) {}

std::string WineSystem::readText(HKEY root, std::string_view key, std::string_view name) {
    HKEY handle = 0;
    if (registry_.openKey(root, key, KEY_READ, &handle) != ERROR_SUCCESS) return {};
    std::uint32_t type = REG_NONE;
    std::string data;
    const long status = registry_.queryValue(handle, name, &type, &data);
    registry_.closeKey(handle);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    const std::size_t nul = data.find('\0');
    if (nul != std::string::npos) data.erase(nul);
    return data;
}

bool WineSystem::hasValue(HKEY root, std::string_view key, std::string_view name) {
    HKEY handle = 0;
    if (registry_.openKey(root, key, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    std::uint32_t type = REG_NONE;
    std::string data;
    const bool found = registry_.queryValue(handle, name, &type, &data) == ERROR_SUCCESS;
    registry_.closeKey(handle);
    return found;
}

unsigned WineSystem::driveType(char letter) {
    const Drive* d = files_.drive(letter);
    if (!d) return DRIVE_NO_ROOT_DIR;
    const char lower = static_cast<char>(d->letter | 0x20);
    const std::string type = ToLower(readText(HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", std::string(1, lower) + ":"));
    if (type == "hd") return DRIVE_FIXED;
    if (type == "floppy") return DRIVE_REMOVABLE;
    if (type == "cdrom") return DRIVE_CDROM;
    if (type == "network") return DRIVE_REMOTE;
    if (type == "ramdisk") return DRIVE_RAMDISK;
    return (lower == 'a' || lower == 'b') ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

std::string WineSystem::volumeLabel(char letter) {
    const Drive* d = files_.drive(letter);
    if (!d) return {};
    std::string label;
    if (FILE* file = std::fopen((d->root + (d->root == "/" ? "" : "/") + ".windows-label").c_str(), "re")) {
        char buffer[256];
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        std::fclose(file);
        label.assign(buffer, n);
    }
    const std::size_t nl = label.find_first_of("\r\n");
    if (nl != std::string::npos) label.erase(nl);
    while (!label.empty() && (label.back() == ' ' || label.back() == '\t')) label.pop_back();
    return label;
}

int WineSystem::platformId() {
    // Wine's own order: the Version setting, then the NT keys, then the 9x keys.
    const std::string version = ToLower(readText(HKEY_CURRENT_USER, "Software\\Wine", "Version"));
    if (!version.empty()) {
        if (version == "win95" || version == "win98" || version == "winme" || version == "win31" ||
            version == "win30" || version == "win20")
            return VER_PLATFORM_WIN32_WINDOWS;
        return VER_PLATFORM_WIN32_NT;
    }
    if (hasValue(HKEY_LOCAL_MACHINE, kNtKey, "CurrentVersion")) return VER_PLATFORM_WIN32_NT;
    if (StartsWithNoCase(readText(HKEY_LOCAL_MACHINE, kWindowsKey, "VersionNumber"), "4."))
        return VER_PLATFORM_WIN32_WINDOWS;
    return VER_PLATFORM_WIN32_NT;
}

std::string WineSystem::profileName() {
    // Wine names the profile after the user running it; a prefix made by another user
    // has one other profile folder, which is then the one meant.
    const std::string user = WineUserName();
    const std::string found = files_.longPathName("C:\\users\\" + user);
    if (!found.empty()) return found.substr(found.find_last_of('\\') + 1);
    std::string other;
    files_.listFolder("C:\\users", [&](std::string_view name, bool isFolder) {
        if (!isFolder || !other.empty()) return;
        for (std::string_view common : {"Public", "Default", "Default User", "All Users"})
            if (EqualsNoCase(name, common)) return;
        other = name;
    });
    return other.empty() ? user : other;
}

std::string WineSystem::profileFolder() { return "C:\\users\\" + profileName(); }

std::string WineSystem::windowsFolder() {
    std::string folder = expandAt(readText(HKEY_LOCAL_MACHINE, kNtKey, "SystemRoot"), 1);
    if (folder.empty()) folder = expandAt(readText(HKEY_LOCAL_MACHINE, kWindowsKey, "SystemRoot"), 1);
    if (folder.empty()) folder = "C:\\windows";
    return withoutBackslash(folder);
}

std::string WineSystem::variable(std::string_view name, int depth) {
    const std::string n = ToLower(name);
    if (n == "userprofile") return profileFolder();
    if (n == "username") return profileName();
    if (n == "appdata") return profileFolder() + "\\AppData\\Roaming";
    if (n == "localappdata") return profileFolder() + "\\AppData\\Local";
    if (n == "homedrive") return "C:";
    if (n == "homepath") return "\\users\\" + profileName();
    std::string value = readText(HKEY_CURRENT_USER, "Environment", name);
    if (value.empty()) value = readText(HKEY_LOCAL_MACHINE, kSystemEnvironment, name);
    if (!value.empty()) return expandAt(value, depth + 1);
    if (n == "systemroot" || n == "windir") return windowsFolder();
    if (n == "systemdrive") return windowsFolder().substr(0, 2);
    if (n == "programfiles") return shellFolder(CSIDL_PROGRAM_FILES);
    if (n == "allusersprofile" || n == "programdata") return "C:\\ProgramData";
    if (n == "public") return "C:\\users\\Public";
    return {};
}

std::string WineSystem::expandAt(std::string_view text, int depth) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const std::string value = (depth < 8 && !name.empty()) ? variable(name, depth) : std::string();
        if (value.empty()) {
            out.append(text.substr(open, close - open));  // unknown: kept, the closing % may open the next
            pos = close;
        } else {
            out += value;
            pos = close + 1;
        }
    }
    return out;
}

std::string WineSystem::expand(std::string_view text) { return expandAt(text, 0); }

std::string WineSystem::shellFolder(int csidl) {
    const bool nineX = platformId() == VER_PLATFORM_WIN32_WINDOWS;
    switch (csidl) {
    case CSIDL_WINDOWS:
        return windowsFolder();
    case CSIDL_SYSTEM: {
        const std::string system32 = windowsFolder() + "\\system32";
        if (!nineX || !files_.longPathName(system32).empty()) return system32;
        return windowsFolder() + "\\system";
    }
    case CSIDL_PROGRAM_FILES: {
        const std::string folder = expandAt(readText(HKEY_LOCAL_MACHINE, kWindowsKey, "ProgramFilesDir"), 1);
        return folder.empty() ? "C:\\Program Files" : withoutBackslash(folder);
    }
    default:
        break;
    }
    for (const UserFolder& f : kUserFolders) {
        if (f.csidl != csidl) continue;
        std::string folder = expand(readText(HKEY_CURRENT_USER, kUserShellFolders, f.valueName));
        if (folder.empty()) folder = expand(readText(HKEY_CURRENT_USER, kShellFolders, f.valueName));
        if (folder.empty())
            folder = nineX ? windowsFolder() + "\\" + f.nineXDefault : profileFolder() + "\\" + f.ntDefault;
        return withoutBackslash(folder);
    }
    return {};
}

std::vector<std::string> WineSystem::linkedShellFolderPaths() {
    static constexpr const char* kNames[] = {"Desktop",  "Personal",    "{374DE290-123F-4565-9164-39C4925E467B}",
                                             "My Music", "My Pictures", "My Videos",
                                             "Templates"};
    std::vector<std::string> paths;
    for (std::string_view key : {kUserShellFolders, kShellFolders})
        for (const char* name : kNames)
            if (std::string path = expand(readText(HKEY_CURRENT_USER, key, name)); !path.empty())
                paths.push_back(withoutBackslash(std::move(path)));
    return paths;
}

std::string WineSystem::tempPath() {
    // GetTempPath's order: TMP, then TEMP, then the profile's Temp folder.
    std::string folder = variable("TMP", 0);
    if (folder.empty()) folder = variable("TEMP", 0);
    if (folder.empty())
        folder = platformId() == VER_PLATFORM_WIN32_WINDOWS ? windowsFolder() + "\\TEMP" : profileFolder() + "\\Temp";
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

std::string WineSystem::longPathName(std::string_view path) { return files_.longPathName(path); }

std::string WineSystem::programFolder() { return "C:\\Program Files\\Korvex"; }

std::string WineSystem::hostPath(std::string_view windowsPath) { return files_.hostPath(windowsPath); }

std::string WineSystem::windowsPath(std::string_view hostPath) { return files_.windowsPath(hostPath); }

bool WineSystem::startProgram(std::string_view commandLine) {
    const std::string wine = FindOnPath("wine");
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (wine.empty() || args.empty()) return false;
    args.insert(args.begin(), wine);
    return StartDetached(args, {"WINEPREFIX=" + prefix_});
}

bool WineSystem::openWithShell(std::string_view documentOrAddress) {
    const std::string opener = FindOnPath("xdg-open");
    if (opener.empty() || documentOrAddress.empty()) return false;
    std::string target(documentOrAddress);
    if (!isAddress(documentOrAddress)) {
        target = files_.hostPath(documentOrAddress);
        if (target.empty()) return false;
    }
    return StartDetached({opener, target});
}

void WineSystem::beep() {
    if (::isatty(2)) {
        const char bell = '\a';
        [[maybe_unused]] const ssize_t n = ::write(2, &bell, 1);
    }
}

std::int64_t WineSystem::now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string WineSystem::formatDateTime(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local {};
    if (!::localtime_r(&t, &local)) return {};
    // The locale's own date and time order, with the year written whole as Windows'
    // general format does (the C locale's "%x" would give 12/05/26).
    const char* dateFormat = ::nl_langinfo_l(D_FMT, userLocale());
    const char* timeFormat = ::nl_langinfo_l(T_FMT, userLocale());
    std::string format = (dateFormat && *dateFormat) ? dateFormat : "%m/%d/%Y";
    for (std::size_t at = format.find("%y"); at != std::string::npos; at = format.find("%y", at + 2)) format[at + 1] = 'Y';
    format += ' ';
    format += (timeFormat && *timeFormat) ? timeFormat : "%H:%M:%S";
    char buffer[128];
    const std::size_t n = ::strftime_l(buffer, sizeof buffer, format.c_str(), &local, userLocale());
    return std::string(buffer, n);
}

char WineSystem::decimalSeparator() {
    // A separator of several UTF-8 bytes (Persian, Pashto) cannot be handed on as one
    // character; its first byte alone would make size texts invalid UTF-8.
    const char* radix = ::nl_langinfo_l(RADIXCHAR, userLocale());
    if (!radix || radix[0] == '\0' || radix[1] != '\0' || static_cast<unsigned char>(radix[0]) >= 0x80) return '.';
    return radix[0];
}

}  // namespace korvex::wine
