// The table of files held by other processes, read from /proc/<pid>/fd and, for Wine
// processes, /proc/<pid>/maps.
#include "platform/wine/open_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace korvex::wine {

namespace {

bool runsWine(const std::string& pidFolder) {
    char target[4096];
    const ssize_t n = ::readlink((pidFolder + "/exe").c_str(), target, sizeof target - 1);
    if (n <= 0) return false;
    target[n] = '\0';
    const char* base = std::strrchr(target, '/');
    base = base ? base + 1 : target;
    return std::strncmp(base, "wine", 4) == 0;
}

// Lines: "address perms offset major:minor inode path".
void addMapped(const std::string& pidFolder, std::set<std::pair<dev_t, ino_t>>& held) {
    FILE* file = std::fopen((pidFolder + "/maps").c_str(), "re");
    if (!file) return;
    char line[4096];
    while (std::fgets(line, sizeof line, file)) {
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(line, "%*s %*s %*s %x:%x %llu", &major, &minor, &inode) == 3 && inode != 0)
            held.emplace(makedev(major, minor), static_cast<ino_t>(inode));
        // A line longer than the buffer: skip the rest of it.
        while (!std::strchr(line, '\n') && std::fgets(line, sizeof line, file)) {
        }
    }
    std::fclose(file);
}

}  // namespace

void OpenFileTable::rebuild() {
    held_.clear();
    DIR* proc = ::opendir("/proc");
    if (!proc) return;
    const std::string self = std::to_string(::getpid());
    while (const dirent* entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
        const std::string pidFolder = "/proc/" + pid;
        const int fdFolder = ::open((pidFolder + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdFolder >= 0) {
            if (DIR* fds = ::fdopendir(fdFolder)) {
                while (const dirent* fd = ::readdir(fds)) {
                    if (fd->d_name[0] == '.') continue;
                    struct stat st {};
                    if (::fstatat(::dirfd(fds), fd->d_name, &st, 0) == 0 && !S_ISDIR(st.st_mode))
                        held_.emplace(st.st_dev, st.st_ino);
                }
                ::closedir(fds);
            } else {
                ::close(fdFolder);
            }
        }
        if (runsWine(pidFolder)) addMapped(pidFolder, held_);
    }
    ::closedir(proc);
}

bool OpenFileTable::heldByOthers(dev_t device, ino_t inode) {
    const auto now = std::chrono::steady_clock::now();
    if (!valid_ || now - taken_ > kOpenFilesMaxAge) {
        rebuild();
        taken_ = std::chrono::steady_clock::now();
        valid_ = true;
    }
    return held_.count({device, inode}) != 0;
}

}  // namespace korvex::wine
