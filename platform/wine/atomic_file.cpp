// Atomic replacement of a host file: temp file beside it, fsync, rename, fsync folder.
#include "platform/wine/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex::wine {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void setError(std::string* error, const std::string& hostPath, const char* what, int err) {
    if (error) *error = "Could not save " + hostPath + " (" + what + ": " + std::strerror(err) + ").";
}

// Opens a new file with a name nobody else uses beside the target.
int createTemp(const std::string& hostPath, mode_t mode, std::string* tempPath) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::string prefix = folderOf(hostPath) + "/." + baseOf(hostPath) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%d-%08llx.tmp", static_cast<int>(getpid()),
                      static_cast<unsigned long long>(random() & 0xffffffffu));
        std::string candidate = prefix + suffix;
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            *tempPath = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& hostPath, std::string_view contents, std::string* error) {
    // Keep the permission bits of the file being replaced; new files get the usual 0666 & ~umask.
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat old {};
    if (::stat(hostPath.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
        keepMode = true;
    }

    std::string tempPath;
    int fd = createTemp(hostPath, keepMode ? (mode & 0777) | 0600 : mode, &tempPath);
    if (fd < 0) {
        setError(error, hostPath, "creating a temporary file", errno);
        return false;
    }
    auto fail = [&](const char* what) {
        int err = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(tempPath.c_str());
        setError(error, hostPath, what, err);
        return false;
    };
    if (!writeAll(fd, contents)) return fail("writing");
    if (keepMode && ::fchmod(fd, mode) != 0) return fail("setting permissions");
    if (::fsync(fd) != 0) return fail("flushing to disk");
    int closeResult = ::close(fd);
    fd = -1;
    if (closeResult != 0) return fail("closing");
    if (::rename(tempPath.c_str(), hostPath.c_str()) != 0) return fail("renaming");

    // The rename itself is durable only once the folder is flushed.
    int dir = ::open(folderOf(hostPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace korvex::wine
