// The file operations of WineFiles that change things, and the in-use test.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/wine/atomic_file.h"
#include "platform/wine/wine_files.h"

namespace korvex::wine {

namespace {

constexpr std::size_t kOutputBuffer = 1 << 20;

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Scan databases are written a line at a time; a large buffer keeps that to a few
// hundred system calls for a whole drive.
class BufferedOutput : public OutputFile {
public:
    explicit BufferedOutput(int fd) : fd_(fd) { buffer_.reserve(kOutputBuffer); }
    ~BufferedOutput() override {
        if (fd_ >= 0) ::close(fd_);
    }
    void write(std::string_view data) override {
        if (!ok_ || fd_ < 0) return;
        if (buffer_.size() + data.size() > kOutputBuffer) flush();
        if (data.size() >= kOutputBuffer) {
            ok_ = ok_ && writeAll(fd_, data.data(), data.size());
            return;
        }
        buffer_.append(data);
    }
    bool close() override {
        if (fd_ < 0) return false;
        flush();
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return ok_ && closed;
    }

private:
    void flush() {
        if (ok_ && !buffer_.empty()) ok_ = writeAll(fd_, buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    int fd_;
    bool ok_ = true;
    std::string buffer_;
};

std::string folderOf(const std::string& host) {
    const std::size_t slash = host.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : host.substr(0, slash);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Nothing is ever written, moved or deleted in /proc, /sys or /dev: there a "file" is
// a kernel setting or a device.
bool writable(const std::string& host) { return !host.empty() && !IsPseudoFileSystemPath(host); }

bool isRegular(const std::string& host) {
    struct stat st {};
    return ::lstat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool CopyHostFileAtomically(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    static std::mt19937_64 random{std::random_device{}()};
    const std::string folder = folderOf(to);
    const std::string base = to.substr(to.find_last_of('/') + 1);
    std::string temp;
    int out = -1;
    for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, ".%d-%08llx.tmp", static_cast<int>(::getpid()),
                      static_cast<unsigned long long>(random() & 0xffffffffu));
        temp = folder + "/." + base + suffix;
        out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST) break;
    }
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    std::string buffer(kOutputBuffer, '\0');
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
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
    syncFolder(folder);
    return true;
}

bool MoveHostFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV || !isRegular(from)) return false;
    if (!CopyHostFileAtomically(from, to)) return false;
    return ::unlink(from.c_str()) == 0;
}

std::unique_ptr<OutputFile> WineFiles::createFile(std::string_view path) {
    const Resolved r = resolve(path);
    if (!writable(r.host) || r.names.empty()) return nullptr;
    // Never write through a link: it could point anywhere on the host.
    const int fd = ::open(r.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<BufferedOutput>(fd);
}

bool WineFiles::replaceFile(std::string_view path, std::string_view contents) {
    const Resolved r = resolve(path);
    if (!writable(r.host) || r.names.empty()) return false;
    return ReplaceFileAtomically(r.host, contents);
}

bool WineFiles::moveFile(std::string_view from, std::string_view to) {
    const Resolved source = resolve(from);
    Resolved target = resolve(to);
    if (!writable(source.host) || !source.exists || !writable(target.host) || target.names.empty()) return false;
    std::string targetHost = target.host;
    if (targetHost == source.host) {
        // Same file under another spelling: the move only changes the name's case.
        targetHost = folderOf(source.host) + "/" + target.written.back();
        if (targetHost == source.host) return true;
    }
    return MoveHostFile(source.host, targetHost);
}

bool WineFiles::copyFile(std::string_view from, std::string_view to) {
    const Resolved source = resolve(from);
    const Resolved target = resolve(to);
    if (source.host.empty() || !source.exists || !writable(target.host) || target.names.empty()) return false;
    if (source.host == target.host) return isRegular(source.host);
    return CopyHostFileAtomically(source.host, target.host);
}

bool WineFiles::deleteFile(std::string_view path) {
    const Resolved r = resolve(path);
    if (!writable(r.host) || r.names.empty()) return false;
    if (!r.exists) return true;
    if (::unlink(r.host.c_str()) == 0 || errno == ENOENT) return true;
    // An empty folder goes too, as RemoveDirectory would take it.
    if (errno == EISDIR || errno == EPERM) return ::rmdir(r.host.c_str()) == 0;
    return false;
}

bool WineFiles::createFolder(std::string_view path) {
    const Resolved r = resolve(path);
    if (!writable(r.host)) return false;
    const Drive* d = drive(r.letter);
    std::string host = d->root;
    for (const std::string& name : r.names) {
        host += (host == "/" ? "" : "/") + name;
        if (::mkdir(host.c_str(), 0777) == 0) continue;
        struct stat st {};
        if (errno != EEXIST || ::stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    }
    return true;
}

bool WineFiles::isFileInUse(std::string_view path) {
    const Resolved r = resolve(path);
    struct stat st {};
    if (r.host.empty() || !r.exists || ::stat(r.host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return openFiles_.heldByOthers(st.st_dev, st.st_ino);
}

}  // namespace korvex::wine
