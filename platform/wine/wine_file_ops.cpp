// The file operations of WineFiles that change things, and the in-use test.
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/wine/atomic_file.h"
#include "platform/wine/wine_files.h"

namespace korvex::wine {

namespace {

constexpr std::size_t kOutputBuffer = 1 << 20;

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
            ok_ = ok_ && WriteAllToFd(fd_, data);
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
        if (ok_ && !buffer_.empty()) ok_ = WriteAllToFd(fd_, buffer_);
        buffer_.clear();
    }
    int fd_;
    bool ok_ = true;
    std::string buffer_;
};

// Nothing is ever written, moved or deleted in /proc, /sys or /dev: there a "file" is
// a kernel setting or a device.
bool writable(const std::string& host) { return !host.empty() && !IsPseudoFileSystemPath(host); }

bool isRegular(const std::string& host) {
    struct stat st {};
    return ::lstat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool MoveHostFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV || !isRegular(from)) return false;
    if (!CopyHostFileAtomically(from, to)) return false;
    return ::unlink(from.c_str()) == 0;
}

bool WineFiles::failed(int error) { return failed(std::string(std::strerror(error))); }

bool WineFiles::failed(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

std::unique_ptr<OutputFile> WineFiles::createFile(std::string_view path) {
    const Resolved r = resolve(path);
    if (!writable(r.host) || r.names.empty()) {
        failed(r.host.empty() ? "no such drive" : "Korvex does not write there");
        return nullptr;
    }
    // Never write through a link: it could point anywhere on the host.
    const int fd = ::open(r.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        failed(errno);
        return nullptr;
    }
    return std::make_unique<BufferedOutput>(fd);
}

bool WineFiles::replaceFile(std::string_view path, std::string_view contents) {
    const Resolved r = resolve(path);
    if (!writable(r.host) || r.names.empty()) return failed(r.host.empty() ? "no such drive" : "Korvex does not write there");
    std::string error;
    if (ReplaceFileAtomically(r.host, contents, &error)) return true;
    // The sentence ends "(step: reason)."; the reason alone is what the user needs.
    const std::size_t colon = error.rfind(": ");
    return failed(colon == std::string::npos ? error : error.substr(colon + 2, error.size() - colon - 4));
}

bool WineFiles::moveFile(std::string_view from, std::string_view to) {
    const Resolved source = resolve(from);
    Resolved target = resolve(to);
    if (!writable(source.host) || !source.exists || !writable(target.host) || target.names.empty())
        return failed(source.exists ? "Korvex does not write there" : "the file does not exist");
    std::string targetHost = target.host;
    if (targetHost == source.host) {
        // Same file under another spelling: the move only changes the name's case.
        targetHost = HostFolderOf(source.host) + "/" + target.written.back();
        if (targetHost == source.host) return true;
    }
    if (MoveHostFile(source.host, targetHost)) return true;
    return failed(errno);
}

bool WineFiles::copyFile(std::string_view from, std::string_view to) {
    const Resolved source = resolve(from);
    const Resolved target = resolve(to);
    if (source.host.empty() || !source.exists || !writable(target.host) || target.names.empty())
        return failed(source.exists ? "Korvex does not write there" : "the file does not exist");
    if (source.host == target.host) return isRegular(source.host);
    if (CopyHostFileAtomically(source.host, target.host)) return true;
    return failed(errno);
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
