// The profile folders Wine links out of the prefix: which links count, and the host
// folders a walk through them must never enter. Listing itself is in wine_files.cpp.
#include <algorithm>
#include <cstdlib>

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/wine/host_names.h"
#include "platform/wine/machine_bounds.h"
#include "platform/wine/wine_files.h"

namespace korvex::wine {

namespace {

// Where Wine puts the links below each profile ("My Documents" in old prefixes; Wine 8
// keeps Templates below AppData). When two link to one folder the first here wins.
constexpr const char* kProfileLinks[] = {
    "Desktop", "Documents", "My Documents", "Downloads", "Music", "Pictures", "Videos",
    "AppData\\Roaming\\Microsoft\\Windows\\Templates", "Templates",
};

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

bool hostFolderId(const std::string& path, std::uint64_t& device, std::uint64_t& inode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    device = st.st_dev;
    inode = st.st_ino;
    return true;
}

// The profile folders below C:\users in a stable order (the listing's order is not).
std::vector<std::string> profileNames(const std::string& usersHost) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(usersHost.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!IsWindowsName(name)) continue;
        struct stat st {};
        if (::lstat((usersHost + "/" + entry->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return FoldName(a) < FoldName(b); });
    return names;
}

}  // namespace

void WineFiles::setShellFolderSource(ShellFolderSource source) {
    shellFolderSource_ = std::move(source);
    reloadLinkedFolders();
}

void WineFiles::reloadLinkedFolders() {
    linked_.clear();
    barriers_.clear();
    const auto barrier = [&](const std::string& host) {
        HostId id;
        if (!host.empty() && hostFolderId(host, id.device, id.inode)) barriers_.push_back(id);
    };
    barrier(prefix_);
    for (const Drive& d : drives_)
        if (d.realRoot != "/") barrier(d.realRoot);

    std::vector<std::string> candidates;
    if (shellFolderSource_) candidates = shellFolderSource_();
    const std::string users = resolve("C:\\users").host;
    if (!users.empty())
        for (const std::string& profile : profileNames(users))
            for (const char* link : kProfileLinks) candidates.push_back("C:\\users\\" + profile + "\\" + link);
    const std::string home = RealHostPath(homeFolder()), realPrefix = RealHostPath(prefix_);
    for (const std::string& candidate : candidates) addLinkedFolder(candidate, home, realPrefix);
}

void WineFiles::addLinkedFolder(std::string_view windowsPath, const std::string& home, const std::string& realPrefix) {
    const Resolved r = resolve(windowsPath);
    if (r.host.empty() || !r.exists || r.names.empty()) return;
    struct stat st {};
    if (::lstat(r.host.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return;  // only the link itself counts
    LinkedFolder folder;
    if (!hostFolderId(r.host, folder.target.device, folder.target.inode)) return;  // not a link to a folder
    barriers_.push_back(folder.target);
    const std::string target = RealHostPath(r.host);
    if (target.empty() || target == "/" || IsPseudoFileSystemPath(target)) return;
    // $HOME itself (Wine's link when an XDG folder is missing), a folder above it or
    // one holding the prefix is the user's whole tree, not a shell folder.
    if ((!home.empty() && HostUnder(home, target)) || HostUnder(realPrefix, target)) return;
    // A target on the link's own drive is walked there already.
    const Drive* d = drive(r.letter);
    if (d && HostUnder(target, d->realRoot)) return;
    for (const LinkedFolder& other : linked_)
        if (other.target == folder.target) return;  // one walk per host folder
    folder.letter = r.letter;
    folder.names = r.names;
    linked_.push_back(std::move(folder));
}

std::vector<std::string> WineFiles::linkedFolders() const {
    std::vector<std::string> out;
    for (const LinkedFolder& folder : linked_) {
        std::string path(1, folder.letter);
        path += ':';
        for (const std::string& name : folder.names) path += '\\' + name;
        out.push_back(std::move(path));
    }
    return out;
}

bool WineFiles::isLinkedFolder(std::string_view windowsPath) const {
    const Resolved r = resolve(windowsPath);
    const LinkedFolder* folder = linkedFolderOf(r);
    return folder && folder->names.size() == r.names.size();
}

const WineFiles::LinkedFolder* WineFiles::linkedFolderOf(const Resolved& folder) const {
    // The deepest: a settings-named link may lie inside another linked folder.
    const LinkedFolder* found = nullptr;
    for (const LinkedFolder& linked : linked_) {
        if (linked.letter != folder.letter || linked.names.size() > folder.names.size()) continue;
        if ((!found || linked.names.size() > found->names.size()) &&
            std::equal(linked.names.begin(), linked.names.end(), folder.names.begin()))
            found = &linked;
    }
    return found;
}

bool WineFiles::isLinkedEntry(const Resolved& folder, std::string_view name) const {
    for (const LinkedFolder& linked : linked_) {
        if (linked.letter != folder.letter || linked.names.size() != folder.names.size() + 1) continue;
        if (linked.names.back() == name &&
            std::equal(folder.names.begin(), folder.names.end(), linked.names.begin()))
            return true;
    }
    return false;
}

bool WineFiles::isBarrier(const HostId& id) const {
    return std::find(barriers_.begin(), barriers_.end(), id) != barriers_.end();
}

}  // namespace korvex::wine
