// Detection of a running wineserver through the lock file of its server directory.
#include "platform/wine/wineserver.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex::wine {

namespace {

std::string serverName(const struct stat& st) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    return buffer;
}

void addUnique(std::vector<std::string>& dirs, const std::string& dir) {
    for (const auto& d : dirs)
        if (d == dir) return;
    dirs.push_back(dir);
}

}  // namespace

std::vector<std::string> WineserverDirectories(const std::string& prefixDir) {
    std::vector<std::string> dirs;
    struct stat st {};
    if (::stat(prefixDir.c_str(), &st) != 0) return dirs;
    const std::string name = serverName(st);

    // Debian's packages: the prefix names the temporary folder the server chose.
    std::ifstream recorded(prefixDir + "/wineserver");
    std::string folder;
    if (recorded && std::getline(recorded, folder)) {
        while (!folder.empty() && (folder.back() == '\r' || folder.back() == ' ' || folder.back() == '/'))
            folder.pop_back();
        if (!folder.empty()) {
            if (folder.front() == '/') {
                addUnique(dirs, folder + "/" + name);
            } else {
                const char* tmp = std::getenv("TMPDIR");
                if (tmp && *tmp) addUnique(dirs, std::string(tmp) + "/" + folder + "/" + name);
                addUnique(dirs, "/tmp/" + folder + "/" + name);
            }
        }
    }
    addUnique(dirs, "/tmp/.wine-" + std::to_string(::getuid()) + "/" + name);
    return dirs;
}

WineserverState FindWineserver(const std::string& prefixDir) {
    WineserverState state;
    for (const auto& dir : WineserverDirectories(prefixDir)) {
        const std::string lockPath = dir + "/lock";
        int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = 0;
        fl.l_len = 1;
        bool locked = ::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
        ::close(fd);
        if (locked) {
            state.running = true;
            state.pid = static_cast<long>(fl.l_pid);
            state.serverDir = dir;
            return state;
        }
    }
    return state;
}

}  // namespace korvex::wine
