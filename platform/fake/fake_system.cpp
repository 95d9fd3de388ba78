#include "platform/fake/fake_system.h"

#include <ctime>

#include "platform/text.h"

namespace korvex {

FakeSystem::FakeSystem() {
    drives['C'] = Drive{DRIVE_FIXED, ""};
    const std::string user = "C:\\users\\user";
    folders[CSIDL_WINDOWS] = "C:\\windows";
    folders[CSIDL_SYSTEM] = "C:\\windows\\system32";
    folders[CSIDL_PROGRAM_FILES] = "C:\\Program Files";
    folders[CSIDL_APPDATA] = user + "\\AppData\\Roaming";
    folders[CSIDL_COOKIES] = user + "\\AppData\\Local\\Microsoft\\Windows\\INetCookies";
    folders[CSIDL_INTERNET_CACHE] = user + "\\AppData\\Local\\Microsoft\\Windows\\INetCache";
    folders[CSIDL_RECENT] = user + "\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
    folders[CSIDL_FAVORITES] = user + "\\Favorites";
    folders[CSIDL_HISTORY] = user + "\\AppData\\Local\\Microsoft\\Windows\\History";
}

unsigned FakeSystem::driveType(char letter) {
    auto it = drives.find(UpperAscii(letter));
    return it == drives.end() ? DRIVE_NO_ROOT_DIR : it->second.type;
}

std::string FakeSystem::volumeLabel(char letter) {
    auto it = drives.find(UpperAscii(letter));
    return it == drives.end() ? std::string() : it->second.label;
}

std::string FakeSystem::shellFolder(int csidl) {
    auto it = folders.find(csidl);
    return it == folders.end() ? std::string() : it->second;
}

std::string FakeSystem::longPathName(std::string_view path) { return std::string(path); }

std::string FakeSystem::hostPath(std::string_view windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return {};
    if (drives.find(UpperAscii(windowsPath[0])) == drives.end()) return {};
    std::string r = hostRoot + "/drive_" + std::string(1, LowerAscii(windowsPath[0]));
    for (char c : windowsPath.substr(2)) r.push_back(c == '\\' ? '/' : c);
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    return r;
}

std::string FakeSystem::windowsPath(std::string_view hostPath) {
    std::string prefix = hostRoot + "/drive_";
    if (hostPath.substr(0, prefix.size()) != prefix || hostPath.size() < prefix.size() + 1) return {};
    char letter = UpperAscii(hostPath[prefix.size()]);
    if (drives.find(letter) == drives.end()) return {};
    std::string rest(hostPath.substr(prefix.size() + 1));
    if (!rest.empty() && rest[0] != '/') return {};
    std::string r = std::string(1, letter) + ":";
    for (char c : rest) r.push_back(c == '/' ? '\\' : c);
    if (r.size() == 2) r += "\\";
    return r;
}

bool FakeSystem::startProgram(std::string_view commandLine) {
    started.emplace_back(commandLine);
    return startSucceeds;
}

bool FakeSystem::openWithShell(std::string_view documentOrAddress) {
    opened.emplace_back(documentOrAddress);
    return true;
}

std::string FakeSystem::formatDateTime(std::int64_t unixSeconds) {
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", std::gmtime(&t));
    return buf;
}

}  // namespace korvex
