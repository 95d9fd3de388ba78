// Drive letters, Windows-path resolution, listing, file information and attributes.
// The file operations that change things are in wine_file_ops.cpp.
#include "platform/wine/wine_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/wine/host_names.h"

namespace korvex::wine {

namespace {

constexpr const char* kDosAttribute = "user.DOSATTRIB";
constexpr std::uint32_t kXattrMask = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string joinHost(const std::string& folder, std::string_view name) {
    std::string out = folder;
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string normalHost(const std::string& path) {
    std::string out = std::filesystem::path(path).lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string realHost(const std::string& path) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr) return {};
    return buffer;
}

bool underHost(const std::string& path, const std::string& root) {
    if (root.empty()) return false;
    if (root == "/") return !path.empty() && path[0] == '/';
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

// Pseudo file systems hold endless or harmful "files" (kcore, device nodes); Korvex
// never lists them. devtmpfs reports itself as tmpfs, so /dev is refused by name.
bool pseudoByName(const std::string& path) {
    for (const char* root : {"/proc", "/sys", "/dev"})
        if (underHost(path, root)) return true;
    return false;
}

bool pseudoByType(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9fa0:       // proc
    case 0x62656572:   // sysfs
    case 0x1cd1:       // devpts
    case 0x64626720:   // debugfs
    case 0x74726163:   // tracefs
    case 0x73636673:   // securityfs
    case 0x27e0eb:     // cgroup
    case 0x63677270:   // cgroup2
    case 0xcafe4a11:   // bpf
    case 0x6165676c:   // pstore
    case 0x62656570:   // configfs
    case 0x65735543:   // fusectl
    case 0x42494e4d:   // binfmt_misc
    case 0x50495045:   // pipefs
    case 0x534f434b:   // sockfs
        return true;
    default:
        return false;
    }
}

std::uint32_t readDosAttribute(const std::string& host) {
    char data[32];
    const ssize_t length = ::lgetxattr(host.c_str(), kDosAttribute, data, sizeof data - 1);
    if (length <= 2) return 0;
    std::size_t used = static_cast<std::size_t>(length);
    if (data[used - 1] == '\0') --used;  // Samba writes the text with its NUL, Wine without
    data[used] = '\0';
    if (data[0] != '0' || (data[1] != 'x' && data[1] != 'X')) return 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(data, &end, 16);
    if (end == data + 2 || *end != '\0') return 0;
    return static_cast<std::uint32_t>(value) & kXattrMask;
}

mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

}  // namespace

bool IsPseudoFileSystemPath(const std::string& hostPath) {
    if (pseudoByName(normalHost(hostPath))) return true;
    const std::string real = realHost(hostPath);
    return !real.empty() && pseudoByName(real);
}

WineFiles::WineFiles(std::string prefixDir) : prefix_(normalHost(prefixDir)) { reloadDrives(); }

void WineFiles::reloadDrives() {
    drives_.clear();
    const std::string devices = prefix_ + "/dosdevices";
    if (DIR* dir = ::opendir(devices.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            // "c:" is a drive; "c::" is the Unix device behind it, com1/lpt1 are ports.
            if (name.size() != 2 || name[1] != ':') continue;
            const char letter = name[0];
            if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'))) continue;
            char target[PATH_MAX];
            const std::string link = devices + "/" + std::string(name);
            const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
            if (length <= 0) continue;
            target[length] = '\0';
            std::string root = target[0] == '/' ? std::string(target) : devices + "/" + target;
            Drive drive;
            drive.letter = static_cast<char>(letter & ~0x20);
            drive.root = normalHost(root);
            drive.realRoot = realHost(drive.root);
            drives_.push_back(std::move(drive));
        }
        ::closedir(dir);
    }
    if (drives_.empty()) {
        // A prefix Wine has not started yet may lack dosdevices/: drive_c is C:.
        struct stat st {};
        const std::string driveC = prefix_ + "/drive_c";
        if (::stat(driveC.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            drives_.push_back(Drive{'C', driveC, realHost(driveC)});
    }
    std::sort(drives_.begin(), drives_.end(), [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    drives_.erase(std::unique(drives_.begin(), drives_.end(),
                              [](const Drive& a, const Drive& b) { return a.letter == b.letter; }),
                  drives_.end());
    reloadLinkedFolders();  // each drive's root is one of the walk's barriers
}

const Drive* WineFiles::drive(char letter) const {
    const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 32) : letter;
    for (const Drive& d : drives_)
        if (d.letter == upper) return &d;
    return nullptr;
}

WineFiles::Resolved WineFiles::resolve(std::string_view path) const {
    Resolved out;
    for (std::string_view device : {"\\\\?\\", "\\??\\"})
        if (path.substr(0, device.size()) == device) path.remove_prefix(device.size());
    if (path.size() < 2 || path[1] != ':') return out;
    const Drive* d = drive(path[0]);
    if (!d) return out;
    out.letter = d->letter;

    std::vector<std::string> written;
    std::string_view rest = path.substr(2);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, end);
        if (part == "..") {
            if (!written.empty()) written.pop_back();
        } else if (!part.empty() && part != ".") {
            written.emplace_back(part);
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }

    out.host = d->root;
    out.exists = true;
    struct stat st {};
    {
        std::string whole = d->root;
        for (const std::string& name : written) whole = joinHost(whole, name);
        if (::lstat(whole.c_str(), &st) == 0) {
            out.host = std::move(whole);
            out.names = written;
            out.written = std::move(written);
            return out;
        }
    }
    for (const std::string& name : written) {
        std::string found = name;
        if (out.exists) {
            if (::lstat(joinHost(out.host, name).c_str(), &st) != 0) {
                out.exists = false;
                if (DIR* dir = ::opendir(out.host.c_str())) {
                    const std::string folded = FoldName(name);
                    while (const dirent* entry = ::readdir(dir)) {
                        if (IsWindowsName(entry->d_name) && FoldName(entry->d_name) == folded) {
                            found = entry->d_name;
                            out.exists = true;
                            break;
                        }
                    }
                    ::closedir(dir);
                }
            }
        }
        out.host = joinHost(out.host, found);
        out.names.push_back(std::move(found));
    }
    out.written = std::move(written);
    return out;
}

std::string WineFiles::hostPath(std::string_view windowsPath) const { return resolve(windowsPath).host; }

std::string WineFiles::windowsPath(std::string_view hostPath) const {
    if (hostPath.empty() || hostPath[0] != '/') return {};
    // The longest matching root wins, except that Z: ("/" holds everything) is taken
    // only when no other drive holds the path, written as given or with links resolved
    // (a path through dosdevices/c: is on C:).
    const std::string lexical = normalHost(std::string(hostPath));
    const Drive* best = nullptr;
    std::string bestRoot, bestPath;
    const auto consider = [&](const std::string& path, bool withZ) {
        for (const Drive& d : drives_) {
            if (d.letter == 'Z' && !withZ) continue;
            for (const std::string* root : {&d.root, &d.realRoot}) {
                if (!underHost(path, *root)) continue;
                const bool isZ = d.letter == 'Z', bestZ = best && best->letter == 'Z';
                if (!best || (bestZ && !isZ) || (bestZ == isZ && root->size() > bestRoot.size())) {
                    best = &d;
                    bestRoot = *root;
                    bestPath = path;
                }
            }
        }
    };
    consider(lexical, true);
    if (!best || best->letter == 'Z') {
        const std::string real = realHost(lexical);
        if (!real.empty() && real != lexical) consider(real, false);
    }
    if (!best) return {};
    std::string out(1, best->letter);
    out += ":\\";
    std::string_view rest = std::string_view(bestPath).substr(bestRoot == "/" ? 1 : bestRoot.size());
    if (!rest.empty() && rest[0] == '/') rest.remove_prefix(1);
    bool first = true;
    while (!rest.empty()) {
        const std::size_t end = rest.find('/');
        const std::string_view name = rest.substr(0, end);
        if (!IsWindowsName(name)) return {};
        if (!first) out += '\\';
        out += name;
        first = false;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return out;
}

std::string WineFiles::longPathName(std::string_view windowsPath) const {
    const Resolved r = resolve(windowsPath);
    if (r.host.empty() || !r.exists) return {};
    std::string out(1, r.letter);
    out += ":\\";
    for (std::size_t i = 0; i < r.names.size(); ++i) {
        if (i) out += '\\';
        out += r.names[i];
    }
    const char last = windowsPath.empty() ? '\0' : windowsPath.back();
    if (!r.names.empty() && (last == '\\' || last == '/')) out += '\\';
    return out;
}

bool WineFiles::listFolder(std::string_view folder, const EntryCallback& onEntry) {
    const Resolved r = resolve(folder);
    if (r.host.empty() || !r.exists || pseudoByName(r.host) || pseudoByName(drive(r.letter)->realRoot)) return false;
    if (r.names.empty()) reloadLinkedFolders();  // a drive walk begins: take the links as they are now
    // Inside a linked profile folder (or the link itself) the walk has left the drive:
    // it must not come back into the prefix or reach a host folder walked elsewhere.
    const LinkedFolder* linked = linked_.empty() ? nullptr : linkedFolderOf(r);
    const bool throughLink = linked && linked->names.size() == r.names.size();
    // Below the drive root the folder itself must not be a link, except a linked folder.
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (r.names.empty() || throughLink ? 0 : O_NOFOLLOW);
    const int fd = ::open(r.host.c_str(), flags);
    if (fd < 0) return false;
    const auto idOf = [](const struct stat& st) {
        return HostId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    };
    struct stat self {};
    if (pseudoByType(fd) || (throughLink && (::fstat(fd, &self) != 0 || !(idOf(self) == linked->target)))) {
        ::close(fd);  // a pseudo file system, or the link was pointed elsewhere since the walk began
        return false;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    for (;;) {
        errno = 0;  // readdir reports an error only through errno
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!IsWindowsName(name)) continue;
        unsigned char type = entry->d_type;
        struct stat st;
        if (type == DT_UNKNOWN || (linked && type == DT_DIR)) {
            if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) st.st_mode = 0;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
        }
        bool isFolder = type == DT_DIR;
        if (type == DT_LNK && !linked_.empty()) isFolder = isLinkedEntry(r, name);
        if (linked && type == DT_DIR && isBarrier(idOf(st))) continue;
        onEntry(name, isFolder);
    }
    const bool ok = errno == 0;
    ::closedir(dir);
    return ok;
}

FileInfo WineFiles::info(std::string_view path) {
    FileInfo out;
    const Resolved r = resolve(path);
    struct stat st {};
    if (r.host.empty() || !r.exists || ::lstat(r.host.c_str(), &st) != 0) return out;
    out.exists = true;
    out.isFolder = S_ISDIR(st.st_mode);
    out.size = (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) ? static_cast<std::uint64_t>(st.st_size) : 0;
    out.modified = st.st_mtim.tv_sec;
    out.attributes = out.isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) out.attributes |= FILE_ATTRIBUTE_READONLY;
    if (!r.names.empty() && r.names.back()[0] == '.') out.attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (!S_ISLNK(st.st_mode)) out.attributes |= readDosAttribute(r.host);
    return out;
}

bool WineFiles::readFile(std::string_view path, std::string& contents) {
    contents.clear();
    const Resolved r = resolve(path);
    if (r.host.empty() || !r.exists) return false;
    // Non-blocking so that a FIFO cannot hang Korvex; only regular files are read.
    const int fd = ::open(r.host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    contents.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (n == 0) break;
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!ok) contents.clear();
    return ok;
}

bool WineFiles::setExecutable(std::string_view path) {
    const Resolved r = resolve(path);
    struct stat st {};
    if (r.host.empty() || !r.exists || ::lstat(r.host.c_str(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode) || IsPseudoFileSystemPath(r.host)) return false;  // never through a link
    // Execute for whoever may read it, as a program installed by hand would have.
    const mode_t mode = (st.st_mode & 07777) | ((st.st_mode & 0444) >> 2);
    return mode == (st.st_mode & 07777) || ::chmod(r.host.c_str(), mode) == 0;
}

bool WineFiles::setAttributes(std::string_view path, std::uint32_t attributes) {
    const Resolved r = resolve(path);
    struct stat st {};
    if (r.host.empty() || !r.exists || ::lstat(r.host.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return false;  // never change what a link points to
    if (IsPseudoFileSystemPath(r.host)) return false;  // kernel settings and devices

    // Read-only is the write permission, as Wine keeps it; folders ignore it as in Wine.
    mode_t mode = st.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        if (!S_ISDIR(st.st_mode)) mode &= ~static_cast<mode_t>(0222);
    } else {
        mode |= (0600 | ((mode & 044) >> 1)) & ~processUmask();
    }
    if (mode != (st.st_mode & 07777) && ::chmod(r.host.c_str(), mode) != 0) return false;

    // Hidden and system live in the extended attribute, in the text form Wine writes
    // ("0x2"); a file with several names keeps it even when empty, as Wine does.
    const std::uint32_t stored = attributes & kXattrMask;
    if (stored != 0 || st.st_nlink > 1) {
        char text[16];
        const int length = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(stored));
        return ::lsetxattr(r.host.c_str(), kDosAttribute, text, static_cast<std::size_t>(length), 0) == 0;
    }
    if (::lremovexattr(r.host.c_str(), kDosAttribute) == 0) return true;
    return errno == ENODATA || errno == ENOTSUP;
}

}  // namespace korvex::wine
