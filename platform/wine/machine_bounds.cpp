// The host-level refusals of the removal layer.
#include "platform/wine/machine_bounds.h"

#include <climits>
#include <cstdlib>


namespace korvex::wine {

namespace {

// Names in the prefix folder that are Wine's own: without them the machine is gone.
constexpr const char* kPrefixFiles[] = {"system.reg", "user.reg", "userdef.reg", "dosdevices", "drive_c",
                                        ".update-timestamp", "wineserver", ".reg_lock"};

bool strictlyUnder(const std::string& path, const std::string& root) {
    return path != root && HostUnder(path, root);
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

bool HostUnder(const std::string& path, const std::string& root) {
    if (root.empty() || path.empty()) return false;
    if (root == "/") return path[0] == '/';
    return path == root ||
           (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

std::string RealHostPath(const std::string& path) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr) return {};
    return buffer;
}

MachineBounds::MachineBounds(std::string prefixDir, WineFiles& files, System& system)
    : prefix_(std::move(prefixDir)), files_(files), system_(system) {
    refresh();
}

void MachineBounds::refresh() {
    realPrefix_ = RealHostPath(prefix_);
    roots_.clear();
    driveRoots_.clear();
    linkedFolders_.clear();
    if (realPrefix_.empty() || realPrefix_ == "/") return;  // no machine: nothing is inside it
    roots_.push_back(realPrefix_);
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h) home = RealHostPath(h);
    for (const Drive& d : files_.drives()) {
        if (d.realRoot.empty()) continue;
        driveRoots_.push_back(d.realRoot);
        if (d.realRoot == "/" || HostUnder(realPrefix_, d.realRoot)) continue;  // the host's file system
        if (!home.empty() && HostUnder(home, d.realRoot)) continue;             // holds the user's home
        if (system_.driveType(d.letter) != DRIVE_FIXED) continue;
        roots_.push_back(d.realRoot);
    }
    // The linked shell folders are the ones the walks enter, so that what Find changes
    // lists inside them can be removed and nothing else outside the prefix can.
    const std::string users = RealHostPath(files_.hostPath("C:\\users"));
    if (users.empty() || !contains(users)) return;
    files_.reloadLinkedFolders();
    for (const std::string& folder : files_.linkedFolders()) {
        const std::string target = RealHostPath(files_.hostPath(folder));
        if (!target.empty()) linkedFolders_.push_back(target);
    }
}

bool MachineBounds::contains(const std::string& real) const {
    for (const std::string& root : roots_)
        if (HostUnder(real, root)) return true;
    for (const std::string& linked : linkedFolders_)
        if (strictlyUnder(real, linked)) return true;
    return false;
}

std::vector<std::string> MachineBounds::volumes() const {
    std::vector<std::string> out = roots_;
    out.insert(out.end(), linkedFolders_.begin(), linkedFolders_.end());
    return out;
}

std::string MachineBounds::check(const std::string& realParent, const std::string& name,
                                 const std::string& lexical) const {
    if (realParent.empty() || name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return "not a file or folder of this machine";
    const std::string real = joined(realParent, name);
    if (real == realPrefix_) return "the Wine prefix folder itself";
    if (realParent == realPrefix_)
        for (const char* own : kPrefixFiles)
            if (name == own) return "part of the Wine prefix's own files";
    if (HostUnder(real, realPrefix_ + "/dosdevices")) return "part of the Wine prefix's own files";
    for (const std::string& root : driveRoots_)
        if (real == root) return "a drive root";
    for (const std::string& root : roots_)
        if (strictlyUnder(root, real) || strictlyUnder(realPrefix_, real)) return "a folder that holds this machine";
    for (const std::string& linked : linkedFolders_)
        if (real == linked) return "a folder Wine links into your home folder";
    if (contains(real)) return {};
    // The item lies outside: say whether a link on the way took it there.
    for (const std::string& root : roots_)
        if (HostUnder(lexical, root)) return "a link on the way leads outside this machine";
    return "outside this machine";
}

}  // namespace korvex::wine
