// The removal refusals by Windows path.
#include "platform/removal_guard.h"

#include "platform/folders.h"
#include "platform/text.h"

namespace korvex {

namespace {

// Shell folders below a profile (Wine's and the older names some installers still use).
constexpr const char* kProfileFolders[] = {
    "Desktop", "Documents", "My Documents", "Downloads", "Music", "My Music", "Pictures", "My Pictures",
    "Videos", "My Videos", "Templates", "Favorites", "Contacts", "Links", "Saved Games", "Searches", "Temp",
    "Application Data", "Local Settings", "Local Settings\\Temp", "Local Settings\\Application Data",
    "Start Menu", "Start Menu\\Programs", "Start Menu\\Programs\\Startup", "NetHood", "PrintHood",
    "Recent", "SendTo", "Cookies", "AppData", "AppData\\Roaming", "AppData\\Local", "AppData\\LocalLow",
    "AppData\\Local\\Temp", "AppData\\Roaming\\Microsoft", "AppData\\Roaming\\Microsoft\\Windows",
    "AppData\\Roaming\\Microsoft\\Windows\\Start Menu", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
    "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
    "AppData\\Roaming\\Microsoft\\Windows\\Recent", "AppData\\Roaming\\Microsoft\\Windows\\SendTo",
    "AppData\\Roaming\\Microsoft\\Windows\\Templates", "AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts",
    "AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts", "AppData\\Local\\Microsoft",
    "AppData\\Local\\Microsoft\\Windows", "AppData\\Local\\Microsoft\\Windows\\INetCache",
    "AppData\\Local\\Microsoft\\Windows\\INetCookies", "AppData\\Local\\Microsoft\\Windows\\History",
};

// Folders of the Windows folder that the system itself needs or that are shell folders
// on the Windows 95 family.
constexpr const char* kWindowsFolders[] = {
    "system", "Fonts", "inf", "command", "Temp", "Desktop", "Start Menu", "Start Menu\\Programs",
    "Start Menu\\Programs\\Startup", "Application Data", "Favorites", "Recent", "SendTo", "ShellNew",
    "Cookies", "History", "Temporary Internet Files", "Profiles", "All Users", "help", "Media", "winsxs",
    "Tasks", "Downloaded Program Files", "Offline Web Pages", "NetHood", "PrintHood", "Local Settings",
};

constexpr const char* kProgramDataFolders[] = {
    "Microsoft", "Microsoft\\Windows", "Microsoft\\Windows\\Start Menu", "Microsoft\\Windows\\Start Menu\\Programs",
    "Microsoft\\Windows\\Start Menu\\Programs\\Startup", "Microsoft\\Windows\\Templates", "Desktop", "Documents",
    "Start Menu", "Application Data", "Templates", "Favorites",
};

constexpr int kShellFolderIds[] = {CSIDL_FAVORITES, CSIDL_RECENT, CSIDL_APPDATA, CSIDL_INTERNET_CACHE,
                                   CSIDL_COOKIES, CSIDL_HISTORY};

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string lowered(std::string_view path) { return ToLower(RemovalGuard::Normal(path)); }

std::string trimmed(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// Whether folder (lower, normal) lies strictly inside parent (lower, normal).
bool strictlyInside(std::string_view folder, std::string_view parent) {
    if (folder.size() <= parent.size() || folder.compare(0, parent.size(), parent) != 0) return false;
    return parent.back() == '\\' || folder[parent.size()] == '\\';
}

}  // namespace

MachineLayout MachineLayout::Of(System& system) {
    MachineLayout layout;
    if (std::string w = trimmed(WindowsFolder(system)); !w.empty()) layout.windowsFolder = w;
    if (std::string s = trimmed(SystemFolder(system)); !s.empty()) layout.systemFolder = s;
    if (std::string p = trimmed(ProgramFilesFolder(system)); !p.empty()) layout.programFiles = p;
    if (std::string k = trimmed(system.programFolder()); !k.empty()) layout.programFolder = k;
    const std::string drive = layout.windowsFolder.substr(0, 2);
    layout.profileParents = {drive + "\\users"};
    if (system.platformId() == VER_PLATFORM_WIN32_WINDOWS) layout.profileParents.push_back(layout.windowsFolder + "\\Profiles");
    for (int csidl : kShellFolderIds)
        if (std::string f = trimmed(system.shellFolder(csidl)); !f.empty()) layout.shellFolders.push_back(f);
    return layout;
}

RemovalGuard::RemovalGuard() : RemovalGuard(MachineLayout{}) {}

RemovalGuard::RemovalGuard(const MachineLayout& layout) {
    const std::string& win = layout.windowsFolder;
    for (const std::string& parent : layout.profileParents) {
        add(parent, "the profiles folder");
        profileParents_.push_back(lowered(parent));
    }
    for (const std::string& f : layout.shellFolders) add(f, "a shell folder");
    add(win, "the Windows folder");
    add(layout.systemFolder, "a system folder");
    for (const char* name : {"system", "system32", "syswow64"}) add(win + "\\" + name, "a system folder");
    for (const char* name : kWindowsFolders) add(win + "\\" + name, "a folder of the Windows folder");
    const std::string drive = win.substr(0, 2);
    for (const std::string& pf : {layout.programFiles, drive + "\\Program Files", drive + "\\Program Files (x86)"}) {
        add(pf, "a Program Files folder");
        add(pf + "\\Common Files", "a Common Files folder");
    }
    add(drive + "\\ProgramData", "the ProgramData folder");
    for (const char* name : kProgramDataFolders) add(drive + "\\ProgramData\\" + name, "a shell folder");
    add(layout.programFolder, "Korvex's program folder");
}

void RemovalGuard::add(std::string_view path, std::string what) {
    if (path.size() < 2) return;
    entries_.push_back({lowered(path), std::move(what)});
}

void RemovalGuard::protect(std::string_view windowsPath) {
    std::string path = trimmed(std::string(windowsPath));
    if (path.size() > 3) add(path, "Korvex's data folder");
}

std::string RemovalGuard::Normal(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (isSeparator(c)) {
            if (!out.empty() && out.back() == '\\') continue;
            out.push_back('\\');
        } else {
            out.push_back(c);
        }
    }
    if (out.size() == 2 && out[1] == ':') out.push_back('\\');
    while (out.size() > 3 && out.back() == '\\') out.pop_back();
    return out;
}

std::string RemovalGuard::check(std::string_view path) const {
    if (path.empty()) return "an empty path";
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) return "a network (UNC) or device path";
    if (path[0] == '\\' && path.substr(0, 4) == "\\??\\") return "a network (UNC) or device path";
    const bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    if (path.size() < 2 || !letter || path[1] != ':') return "not a path on one of the machine's drives";
    if (path.size() > 2 && !isSeparator(path[2])) return "not a full path on one of the machine's drives";
    for (std::size_t i = 2; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '*' || c == '?') return "a path with wildcards in it";
        if (c == ':' || c == '"' || c == '<' || c == '>' || c == '|' || c == '\0')
            return "a path with characters Windows does not allow in a name";
    }
    const std::string normal = Normal(path);
    for (std::string_view name : SplitPath(normal.substr(2)))
        if (name == "." || name == "..") return "a path with . or .. in it";
    if (normal.size() == 3) return "a drive root";

    const std::string lower = ToLower(normal);
    for (const Entry& e : entries_)
        if (e.lower == lower) return e.what;
    for (const std::string& parent : profileParents_) {
        if (!strictlyInside(lower, parent)) continue;
        const std::string_view rest = std::string_view(lower).substr(parent.size() + 1);
        const std::size_t slash = rest.find('\\');
        if (slash == std::string_view::npos) return "a user's profile folder";
        const std::string_view inside = rest.substr(slash + 1);
        for (const char* name : kProfileFolders)
            if (inside == ToLower(name)) return "a shell folder";
    }
    for (const Entry& e : entries_)
        if (strictlyInside(e.lower, lower)) return "a folder that holds " + e.what;
    return {};
}

}  // namespace korvex
