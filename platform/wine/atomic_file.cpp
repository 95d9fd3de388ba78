// Atomic replacement of a host file: temp file beside it, fsync, rename, fsync folder.
#include "platform/wine/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex::wine {

namespace {

constexpr std::size_t kCopyBuffer = 1 << 20;

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
    const std::string prefix = HostFolderOf(hostPath) + "/." + baseOf(hostPath) + ".";
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

}  // namespace

std::string HostFolderOf(const std::string& hostPath) {
    const std::size_t slash = hostPath.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return hostPath.substr(0, slash);
}

void SyncHostFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool WriteAllToFd(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

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
    if (!WriteAllToFd(fd, contents)) return fail("writing");
    if (keepMode && ::fchmod(fd, mode) != 0) return fail("setting permissions");
    if (::fsync(fd) != 0) return fail("flushing to disk");
    int closeResult = ::close(fd);
    fd = -1;
    if (closeResult != 0) return fail("closing");
    if (::rename(tempPath.c_str(), hostPath.c_str()) != 0) return fail("renaming");

    // The rename itself is durable only once the folder is flushed.
    SyncHostFolder(HostFolderOf(hostPath));
    return true;
}

bool CopyHostFileAtomically(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    std::string temp;
    const int out = createTemp(to, 0600, &temp);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    std::string buffer(kCopyBuffer, '\0');
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (!WriteAllToFd(out, std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
            ok = false;
            break;
        }
    }
    ::close(in);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ok = ok && ::fchmod(out, st.st_mode & 07777) == 0;
    ok = ok && ::futimens(out, times) == 0;
    ok = ok && ::fsync(out) == 0;
    ok = (::close(out) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), to.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncHostFolder(HostFolderOf(to));
    return true;
}

}  // namespace korvex::wine
