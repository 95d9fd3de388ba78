// Putting items into the freedesktop.org Trash, listing and erasing its entries.
#include "platform/wine/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/wine/host_tree.h"

namespace korvex::wine {

namespace {

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string uidText() { return std::to_string(::getuid()); }

// Makes the folder and its missing parents with mode 0700.
bool makeFolders(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = parentOf(path);
    if (parent.empty() || parent == path || !makeFolders(parent)) return false;
    return ::mkdir(path.c_str(), S_IRWXU) == 0 || errno == EEXIST;
}

// The device of the nearest existing folder on the way to path.
bool deviceOf(std::string path, dev_t* device) {
    struct stat st {};
    while (!path.empty()) {
        if (::stat(path.c_str(), &st) == 0) {
            *device = st.st_dev;
            return true;
        }
        if (path == "/") break;
        path = parentOf(path);
    }
    return false;
}

// The top folder of the volume that holds realPath (the highest folder on its device).
std::string topOf(const std::string& realPath, dev_t device) {
    std::string top = realPath;
    for (std::string up = parentOf(realPath); !up.empty(); up = parentOf(up)) {
        struct stat st {};
        if (::lstat(up.c_str(), &st) != 0 || st.st_dev != device) break;
        top = up;
        if (up == "/") break;
    }
    return top;
}

// A trash folder that is ours: a real folder (not a link) owned by this user.
bool ownFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// The trash folder at the top of a volume, made when missing; "" when none may be used.
std::string topTrash(const std::string& top, bool make) {
    const std::string base = top == "/" ? "" : top;
    struct stat st {};
    const std::string shared = base + "/.Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string mine = shared + "/" + uidText();
        if (make) ::mkdir(mine.c_str(), S_IRWXU);
        if (ownFolder(mine)) return mine;
    }
    const std::string mine = base + "/.Trash-" + uidText();
    if (make) ::mkdir(mine.c_str(), S_IRWXU);
    return ownFolder(mine) ? mine : std::string();
}

// "name", "name.2", "report.2.txt": the n-th candidate name of an entry.
std::string candidate(const std::string& name, int n) {
    if (n == 1) return name;
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return name + "." + std::to_string(n);
    return name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string Trash::HomeFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/Trash";
    return {};
}

std::string Trash::EncodePath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Trash::DecodePath(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Trash::InfoText(const std::string& originalPath, std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local {};
    ::localtime_r(&t, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + EncodePath(originalPath) + "\nDeletionDate=" + date + "\n";
}

std::string Trash::Send(int parent, const std::string& name, const std::string& realPath, dev_t device) {
    std::string trash;
    const std::string home = HomeFolder();
    dev_t homeDevice = 0;
    if (!home.empty() && deviceOf(home, &homeDevice) && homeDevice == device) {
        if (!makeFolders(home)) return "the Recycle Bin folder " + home + " cannot be made";
        trash = home;
    } else {
        trash = topTrash(topOf(realPath, device), true);
        if (trash.empty()) return "its disk has no Recycle Bin this user may use";
    }
    Fd trashFd(::open(trash.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!trashFd) return "the Recycle Bin folder " + trash + " cannot be opened";
    struct stat st {};
    if (::fstat(trashFd.get(), &st) != 0 || st.st_dev != device) return "its disk has no Recycle Bin this user may use";
    ::mkdirat(trashFd.get(), "files", S_IRWXU);
    ::mkdirat(trashFd.get(), "info", S_IRWXU);
    Fd files(::openat(trashFd.get(), "files", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    Fd info(::openat(trashFd.get(), "info", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!files || !info) return "the Recycle Bin folder " + trash + " is damaged";

    const std::string text = InfoText(realPath, static_cast<std::int64_t>(std::time(nullptr)));
    for (int n = 1; n < 100000; ++n) {
        const std::string entry = candidate(name, n);
        const std::string infoName = entry + ".trashinfo";
        const int fd = ::openat(info.get(), infoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            if (errno == ENAMETOOLONG) return "its name is too long for the Recycle Bin";
            return std::string("the Recycle Bin cannot take it (") + std::strerror(errno) + ")";
        }
        const bool written = writeAll(fd, text);
        ::close(fd);
        struct stat taken {};
        const bool clash = ::fstatat(files.get(), entry.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0;
        if (!written || clash) {
            ::unlinkat(info.get(), infoName.c_str(), 0);
            if (!written) return "the Recycle Bin's disk is full";
            continue;
        }
        if (::renameat2(parent, name.c_str(), files.get(), entry.c_str(), RENAME_NOREPLACE) == 0) return {};
        const int err = errno;
        ::unlinkat(info.get(), infoName.c_str(), 0);
        if (err == EEXIST) continue;
        if (err == EACCES || err == EPERM) return "permission to move it was denied";
        if (err == EBUSY) return "it is in use";
        return std::string("it cannot be moved into the Recycle Bin (") + std::strerror(err) + ")";
    }
    return "the Recycle Bin holds too many items of that name";
}

std::vector<std::string> Trash::Folders(const std::vector<std::string>& volumes) {
    std::vector<std::string> out;
    const auto add = [&](const std::string& path) {
        if (path.empty()) return;
        for (const std::string& p : out)
            if (p == path) return;
        out.push_back(path);
    };
    const std::string home = HomeFolder();
    struct stat st {};
    if (!home.empty() && ::stat(home.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        char real[PATH_MAX];
        add(::realpath(home.c_str(), real) ? std::string(real) : home);
    }
    for (const std::string& volume : volumes) {
        if (::stat(volume.c_str(), &st) != 0) continue;
        add(topTrash(topOf(volume, st.st_dev), false));
    }
    return out;
}

std::vector<TrashEntry> Trash::List(const std::string& trash) {
    std::vector<TrashEntry> out;
    // Relative paths start from the folder the trash lies in ($topdir for .Trash/$uid).
    std::string base = parentOf(trash);
    if (base.size() >= 7 && base.compare(base.size() - 7, 7, "/.Trash") == 0) base = parentOf(base);
    DIR* dir = ::opendir((trash + "/info").c_str());
    if (!dir) return out;
    while (const dirent* e = ::readdir(dir)) {
        std::string file = e->d_name;
        constexpr std::string_view kExt = ".trashinfo";
        if (file.size() <= kExt.size() || file.compare(file.size() - kExt.size(), kExt.size(), kExt) != 0) continue;
        const int fd = ::openat(::dirfd(dir), file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        char buffer[16384];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        if (n <= 0) continue;
        TrashEntry entry;
        entry.trash = trash;
        entry.name = file.substr(0, file.size() - kExt.size());
        std::string text(buffer, static_cast<std::size_t>(n));
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("Path=", 0) == 0) entry.original = DecodePath(line.substr(5));
            if (line.rfind("DeletionDate=", 0) == 0) entry.deleted = line.substr(13);
        }
        if (entry.original.empty()) continue;
        if (entry.original[0] != '/') entry.original = (base == "/" ? "" : base) + "/" + entry.original;
        out.push_back(std::move(entry));
    }
    ::closedir(dir);
    return out;
}

bool Trash::Erase(const TrashEntry& entry) {
    Fd files(::open((entry.trash + "/files").c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    Fd info(::open((entry.trash + "/info").c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!files || !info || entry.name.empty() || entry.name.find('/') != std::string::npos || entry.name == ".." ||
        entry.name == ".")
        return false;
    const TreeResult removed = RemoveTreeAt(files.get(), entry.name.c_str(), nullptr, {});
    if (!removed.done) return false;
    return ::unlinkat(info.get(), (entry.name + ".trashinfo").c_str(), 0) == 0 || errno == ENOENT;
}

}  // namespace korvex::wine
