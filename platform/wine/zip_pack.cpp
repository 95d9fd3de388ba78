// Writing and verifying the archive of delete mode "Zip files to default folder".
#include "platform/wine/zip_pack.h"

#include <cerrno>
#include <array>
#include <climits>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include "platform/wine/host_tree.h"

namespace korvex::wine {

namespace {

constexpr int kMaxDepth = 400;

// One entry to write and what it must read back as.
struct Entry {
    std::string name;        // in the archive; folders end in "/"
    std::string realParent;  // for files: where to open them
    std::string file;
    std::string linkTarget;
    bool isFolder = false, isLink = false;
    std::uint32_t mode = 0;
    std::int64_t mtime = 0;
    // Filled while the archive is written.
    std::uint64_t bytes = 0;
    std::uint32_t crc = 0;
    int fd = -1;
    zip_error_t error{};
};

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// libzip calls this when it writes the archive: the file is opened then, through its
// real folder and without following a link, and its bytes counted and summed.
zip_int64_t readFile(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    Entry& e = *static_cast<Entry*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN: {
        Fd folder = OpenFolderNoLinks(e.realParent);
        e.fd = folder ? ::openat(folder.get(), e.file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC) : -1;
        struct stat st {};
        if (e.fd < 0 || ::fstat(e.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            zip_error_set(&e.error, ZIP_ER_OPEN, errno);
            return -1;
        }
        e.bytes = 0;
        e.crc = 0;
        return 0;
    }
    case ZIP_SOURCE_READ: {
        ssize_t n;
        do n = ::read(e.fd, data, length);
        while (n < 0 && errno == EINTR);
        if (n < 0) {
            zip_error_set(&e.error, ZIP_ER_READ, errno);
            return -1;
        }
        e.bytes += static_cast<std::uint64_t>(n);
        e.crc = Crc32(e.crc, data, static_cast<std::size_t>(n));
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        if (e.fd >= 0) ::close(e.fd);
        e.fd = -1;
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->mtime = static_cast<time_t>(e.mtime);
        st->valid |= ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&e.error, data, length);
    case ZIP_SOURCE_FREE: return 0;
    case ZIP_SOURCE_SUPPORTS: return ZIP_SOURCE_SUPPORTS_READABLE;
    default: zip_error_set(&e.error, ZIP_ER_OPNOTSUPP, 0); return -1;
    }
}

// Lists an item and everything in it; "" or why it cannot be packed.
std::string collect(const std::string& realParent, const std::string& name, const std::string& entryName,
                    dev_t device, int depth, std::vector<std::unique_ptr<Entry>>& out) {
    Fd folder = OpenFolderNoLinks(realParent);
    struct stat st {};
    if (!folder || ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return joined(realParent, name) + " cannot be read";
    auto e = std::make_unique<Entry>();
    e->realParent = realParent;
    e->file = name;
    e->mode = st.st_mode;
    e->mtime = st.st_mtim.tv_sec;
    if (S_ISLNK(st.st_mode)) {
        char target[PATH_MAX];
        const ssize_t n = ::readlinkat(folder.get(), name.c_str(), target, sizeof target);
        if (n < 0) return joined(realParent, name) + " cannot be read";
        e->isLink = true;
        e->linkTarget.assign(target, static_cast<std::size_t>(n));
        e->name = entryName;
        out.push_back(std::move(e));
        return {};
    }
    if (S_ISREG(st.st_mode)) {
        e->name = entryName;
        out.push_back(std::move(e));
        return {};
    }
    if (!S_ISDIR(st.st_mode)) return {};  // a device, pipe or socket holds no data to keep
    if (device != 0 && st.st_dev != device) return joined(realParent, name) + " is another disk mounted there";
    if (depth > kMaxDepth) return joined(realParent, name) + " is too deep";
    e->isFolder = true;
    e->name = entryName + "/";
    out.push_back(std::move(e));
    const std::string real = joined(realParent, name);
    const int fd = ::openat(folder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0) ::close(fd);
        return real + " cannot be read";
    }
    std::vector<std::string> names;
    while (const dirent* d = ::readdir(dir))
        if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0) names.emplace_back(d->d_name);
    ::closedir(dir);
    for (const std::string& child : names)
        if (std::string why = collect(real, child, entryName + "/" + child, st.st_dev, depth + 1, out); !why.empty())
            return why;
    return {};
}

std::string zipError(zip_t* archive) { return zip_strerror(archive); }

void setAttributes(zip_t* archive, zip_int64_t index, const Entry& e) {
    zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                     static_cast<zip_uint32_t>(e.mode & 0177777) << 16);
    zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), static_cast<time_t>(e.mtime), 0);
}

// Reads the archive back: every entry present with its size and CRC, and its data
// read through (which makes libzip check the CRC of what it decompresses).
std::string verify(const std::string& path, const std::vector<std::unique_ptr<Entry>>& entries) {
    int err = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!archive) return "the archive cannot be read back";
    std::string why;
    if (zip_get_num_entries(archive, 0) < static_cast<zip_int64_t>(entries.size())) why = "entries are missing";
    std::vector<char> buffer(1 << 16);
    for (std::size_t i = 0; i < entries.size() && why.empty(); ++i) {
        const Entry& e = *entries[i];
        zip_stat_t st;
        const zip_int64_t index = zip_name_locate(archive, e.name.c_str(), ZIP_FL_ENC_RAW);
        if (index < 0 || zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &st) != 0) {
            why = e.name + " is missing";
            break;
        }
        if (e.isFolder) continue;
        const std::uint64_t size = e.isLink ? e.linkTarget.size() : e.bytes;
        const std::uint32_t crc = e.isLink ? Crc32(0, e.linkTarget.data(), e.linkTarget.size()) : e.crc;
        if (st.size != size || st.crc != crc) {
            why = e.name + " does not match";
            break;
        }
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
        std::uint64_t total = 0;
        zip_int64_t n = 0;
        while (file && (n = zip_fread(file, buffer.data(), buffer.size())) > 0) total += static_cast<std::uint64_t>(n);
        if (!file || n < 0 || total != size) why = e.name + " cannot be read back";
        if (file) zip_fclose(file);
    }
    zip_discard(archive);
    return why;
}

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string PackIntoZip(const std::string& path, const std::vector<PackItem>& items,
                        const std::function<void(double)>& progress) {
    std::vector<std::unique_ptr<Entry>> entries;
    for (const PackItem& item : items)
        if (std::string why = collect(item.realParent, item.name, item.entry, 0, 0, entries); !why.empty()) return why;
    if (entries.empty()) return {};

    int err = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE, &err);
    if (!archive) {
        zip_error_t e;
        zip_error_init_with_code(&e, err);
        std::string why = std::string("the archive cannot be made (") + zip_error_strerror(&e) + ")";
        zip_error_fini(&e);
        return why;
    }
    std::string why;
    for (auto& owned : entries) {
        Entry& e = *owned;
        zip_int64_t index = -1;
        if (e.isFolder) {
            index = zip_dir_add(archive, e.name.c_str(), ZIP_FL_ENC_UTF_8);
            if (index < 0) index = zip_name_locate(archive, e.name.c_str(), ZIP_FL_ENC_RAW);
        } else {
            zip_source_t* source = e.isLink ? zip_source_buffer(archive, e.linkTarget.data(), e.linkTarget.size(), 0)
                                            : zip_source_function(archive, readFile, &e);
            if (source) index = zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
            if (source && index < 0) zip_source_free(source);
        }
        if (index < 0) {
            why = "the archive cannot take " + e.name + " (" + zipError(archive) + ")";
            break;
        }
        setAttributes(archive, index, e);
    }
    if (!why.empty()) {
        zip_discard(archive);
        return why;
    }
    if (progress)
        zip_register_progress_callback_with_state(
            archive, 0.01, [](zip_t*, double done, void* state) { (*static_cast<const std::function<void(double)>*>(state))(done); },
            nullptr, const_cast<std::function<void(double)>*>(&progress));
    if (zip_close(archive) != 0) {
        why = "the archive cannot be written (" + zipError(archive) + ")";
        zip_discard(archive);
        return why;
    }
    return verify(path, entries);
}

}  // namespace korvex::wine
