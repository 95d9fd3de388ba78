// Depth-first deletion and copying over folder descriptors; the held-files snapshot.
#include "platform/wine/host_tree.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace korvex::wine {

namespace {

// Deeper trees fail rather than run out of descriptors (each level keeps one open).
constexpr int kMaxDepth = 400;

bool isDots(const char* name) { return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')); }

struct Walk {
    const HeldFiles* held = nullptr;
    const TreeTick* tick = nullptr;
    TreeResult result;
    void fail(int err) {
        if (result.error == 0) result.error = err;
    }
    void counted() {
        ++result.entries;
        if (*tick) (*tick)(result.entries);
    }
};

// Opens the folder name of parent for listing, after checking it is the folder that
// was examined (same device and inode: nothing swapped it for a link meanwhile).
int openListed(int parent, const char* name, const struct stat& seen) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_dev != seen.st_dev || st.st_ino != seen.st_ino) {
        ::close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

bool removeAt(int parent, const char* name, dev_t device, Walk& walk, int depth);

// Removes every entry of the open folder fd; true when all are gone.
bool emptyFolder(int fd, dev_t device, Walk& walk, int depth) {
    // A second pass catches entries a directory stream may skip while it is changed.
    for (int pass = 0; pass < 2; ++pass) {
        const int listFd = ::dup(fd);
        if (listFd < 0) {
            walk.fail(errno);
            return false;
        }
        DIR* dir = ::fdopendir(listFd);
        if (!dir) {
            walk.fail(errno);
            ::close(listFd);
            return false;
        }
        ::rewinddir(dir);
        bool all = true, any = false;
        while (const dirent* entry = ::readdir(dir)) {
            if (isDots(entry->d_name)) continue;
            any = true;
            if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) {
                // Not a folder: d_ino is the file's inode on this file system.
                if (entry->d_type == DT_REG && walk.held && walk.held->holds(device, entry->d_ino)) {
                    walk.result.inUse = true;
                    all = false;
                    continue;
                }
                if (::unlinkat(fd, entry->d_name, 0) == 0 || errno == ENOENT) {
                    walk.counted();
                    continue;
                }
                if (errno != EISDIR && errno != EPERM) {
                    walk.fail(errno);
                    all = false;
                    continue;
                }
            }
            if (!removeAt(fd, entry->d_name, device, walk, depth + 1)) all = false;
        }
        ::closedir(dir);
        if (!all) return false;
        if (!any) return true;
    }
    return true;
}

bool removeAt(int parent, const char* name, dev_t device, Walk& walk, int depth) {
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return true;
        walk.fail(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        if (S_ISREG(st.st_mode) && walk.held && walk.held->holds(st.st_dev, st.st_ino)) {
            walk.result.inUse = true;
            return false;
        }
        if (::unlinkat(parent, name, 0) == 0 || errno == ENOENT) {
            walk.counted();
            return true;
        }
        walk.fail(errno);
        return false;
    }
    if (st.st_dev != device) {
        walk.result.otherFileSystem = true;
        return false;
    }
    if (depth > kMaxDepth) {
        walk.fail(ENAMETOOLONG);
        return false;
    }
    int fd = openListed(parent, name, st);
    if (fd < 0 && errno == EACCES && st.st_uid == ::geteuid()) {
        // A folder without read or search permission (a read-only folder of Windows):
        // its owner may open it up to empty it.
        ::fchmodat(parent, name, (st.st_mode & 07777) | S_IRWXU, 0);
        fd = openListed(parent, name, st);
    }
    if (fd < 0) {
        walk.fail(errno);
        return false;
    }
    if (!(st.st_mode & S_IWUSR) && st.st_uid == ::geteuid()) ::fchmod(fd, (st.st_mode & 07777) | S_IRWXU);
    const bool emptied = emptyFolder(fd, device, walk, depth);
    ::close(fd);
    if (!emptied) return false;
    if (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT) {
        walk.counted();
        return true;
    }
    walk.fail(errno);
    return false;
}

bool copyFileData(int in, int out) {
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        break;  // not supported here: plain reads and writes
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer + written, static_cast<std::size_t>(n - written));
            if (w < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            written += w;
        }
    }
}

bool copyAt(int from, const char* name, int to, const char* toName, dev_t device, Walk& walk, int depth) {
    struct stat st {};
    if (::fstatat(from, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        walk.fail(errno);
        return false;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (S_ISLNK(st.st_mode)) {
        char target[PATH_MAX];
        const ssize_t n = ::readlinkat(from, name, target, sizeof target - 1);
        if (n < 0 || ::symlinkat((target[n] = '\0', target), to, toName) != 0) {
            walk.fail(errno);
            return false;
        }
        ::utimensat(to, toName, times, AT_SYMLINK_NOFOLLOW);
        walk.counted();
        return true;
    }
    if (S_ISREG(st.st_mode)) {
        Fd in(::openat(from, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!in) {
            walk.fail(errno);
            return false;
        }
        Fd out(::openat(to, toName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
        if (!out || !copyFileData(in.get(), out.get())) {
            walk.fail(errno ? errno : EIO);
            return false;
        }
        ::fchmod(out.get(), st.st_mode & 07777);
        ::futimens(out.get(), times);
        walk.counted();
        return true;
    }
    if (!S_ISDIR(st.st_mode)) {
        walk.fail(ENOTSUP);  // a device, pipe or socket cannot move into a Windows folder
        return false;
    }
    if (st.st_dev != device) {
        walk.result.otherFileSystem = true;
        return false;
    }
    if (depth > kMaxDepth) {
        walk.fail(ENAMETOOLONG);
        return false;
    }
    Fd source(openListed(from, name, st));
    if (!source || ::mkdirat(to, toName, S_IRWXU) != 0) {
        walk.fail(errno);
        return false;
    }
    Fd target(::openat(to, toName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    DIR* dir = ::fdopendir(::dup(source.get()));
    if (!target || !dir) {
        walk.fail(errno);
        if (dir) ::closedir(dir);
        return false;
    }
    bool all = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (isDots(entry->d_name)) continue;
        if (!copyAt(source.get(), entry->d_name, target.get(), entry->d_name, device, walk, depth + 1)) {
            all = false;
            break;
        }
    }
    ::closedir(dir);
    ::fchmod(target.get(), st.st_mode & 07777);
    ::futimens(target.get(), times);
    if (all) walk.counted();
    return all;
}

}  // namespace

void Fd::reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Fd OpenFolderNoLinks(const std::string& path) {
    if (path.empty() || path[0] != '/') return Fd();
    Fd current(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t pos = 1;
    while (current && pos < path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") return Fd();
        current = Fd(::openat(current.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return current;
}

void HeldFiles::take() {
    held_.clear();
    paths_.clear();
    DIR* proc = ::opendir("/proc");
    if (!proc) return;
    const std::string self = std::to_string(::getpid());
    char target[PATH_MAX];
    while (const dirent* entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
        const std::string pidFolder = "/proc/" + pid;
        if (DIR* fds = ::opendir((pidFolder + "/fd").c_str())) {
            while (const dirent* fd = ::readdir(fds)) {
                if (fd->d_name[0] == '.') continue;
                struct stat st {};
                if (::fstatat(::dirfd(fds), fd->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
                held_.emplace(st.st_dev, st.st_ino);
                const ssize_t n = ::readlinkat(::dirfd(fds), fd->d_name, target, sizeof target - 1);
                if (n > 0 && target[0] == '/') paths_.emplace_back(target, static_cast<std::size_t>(n));
            }
            ::closedir(fds);
        }
        // Wine maps the DLLs it loads and may close them: mapped files count as held.
        const ssize_t n = ::readlink((pidFolder + "/exe").c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        const char* base = std::strrchr(target, '/');
        if (std::strncmp(base ? base + 1 : target, "wine", 4) != 0) continue;
        if (FILE* maps = std::fopen((pidFolder + "/maps").c_str(), "re")) {
            char line[PATH_MAX + 256];
            while (std::fgets(line, sizeof line, maps)) {
                unsigned major = 0, minor = 0;
                unsigned long long inode = 0;
                int used = 0;
                if (std::sscanf(line, "%*s %*s %*s %x:%x %llu %n", &major, &minor, &inode, &used) < 3 || inode == 0)
                    continue;
                held_.emplace(makedev(major, minor), static_cast<ino_t>(inode));
                std::string path = line + used;
                while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
                if (!path.empty() && path[0] == '/') paths_.push_back(std::move(path));
            }
            std::fclose(maps);
        }
    }
    ::closedir(proc);
}

bool HeldFiles::holdsUnder(const std::string& folder) const {
    for (const std::string& p : paths_)
        if (p.size() > folder.size() && p.compare(0, folder.size(), folder) == 0 && p[folder.size()] == '/')
            return true;
    return false;
}

TreeResult RemoveTreeAt(int parent, const char* name, const HeldFiles* held, const TreeTick& tick) {
    Walk walk;
    walk.held = held;
    walk.tick = &tick;
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        walk.result.done = errno == ENOENT;
        walk.fail(errno);
        return walk.result;
    }
    walk.result.done = removeAt(parent, name, st.st_dev, walk, 0);
    return walk.result;
}

TreeResult CopyTreeAt(int from, const char* name, int to, const char* toName, const TreeTick& tick) {
    Walk walk;
    walk.tick = &tick;
    struct stat st {};
    if (::fstatat(from, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        walk.fail(errno);
        return walk.result;
    }
    walk.result.done = copyAt(from, name, to, toName, st.st_dev, walk, 0);
    return walk.result;
}

}  // namespace korvex::wine
