// The Recycle Bin's contents of this machine, emptying it, and deletion at the
// machine's next start.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text.h"
#include "platform/wine/wine_files.h"
#include "platform/wine/wine_shell.h"

namespace korvex::wine {

namespace {

constexpr std::string_view kSessionManager = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr std::string_view kPending = "PendingFileRenameOperations";

std::uint64_t bytesAt(int parent, const char* name, int depth) {
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    if (!S_ISDIR(st.st_mode)) return S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (depth > 200) return 0;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return 0;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return 0;
    }
    std::uint64_t total = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (std::string_view(e->d_name) == "." || std::string_view(e->d_name) == "..") continue;
        total += bytesAt(::dirfd(dir), e->d_name, depth + 1);
    }
    ::closedir(dir);
    return total;
}

// The pairs of a pending-rename list: source, destination ("" = delete), in order.
std::vector<std::pair<std::string, std::string>> pendingPairs(const std::string& data) {
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t nul = data.find('\0', pos);
        if (nul == std::string::npos) nul = data.size();
        tokens.push_back(data.substr(pos, nul - pos));
        pos = nul + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < tokens.size() && !tokens[i].empty(); i += 2)
        pairs.emplace_back(tokens[i], i + 1 < tokens.size() ? tokens[i + 1] : std::string());
    return pairs;
}

}  // namespace

std::vector<TrashEntry> WineShell::machineTrash() {
    bounds_.refresh();
    std::vector<TrashEntry> out;
    for (const std::string& folder : Trash::Folders(bounds_.volumes())) {
        for (TrashEntry& e : Trash::List(folder)) {
            // Where it came from, with the links of its parent folders resolved when
            // they still exist (the item itself is gone from there).
            const std::size_t slash = e.original.find_last_of('/');
            std::string parent = RealHostPath(slash == 0 ? "/" : e.original.substr(0, slash));
            const std::string place = parent.empty() ? e.original : parent + "/" + e.original.substr(slash + 1);
            if (bounds_.contains(place)) out.push_back(std::move(e));
        }
    }
    return out;
}

RecycleBinContents WineShell::recycleBinContents() {
    RecycleBinContents c;
    for (const TrashEntry& e : machineTrash()) {
        ++c.items;
        Fd files(::open((e.trash + "/files").c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (files) c.bytes += bytesAt(files.get(), e.name.c_str(), 0);
    }
    return c;
}

bool WineShell::emptyRecycleBin() {
    bool all = true;
    for (const TrashEntry& e : machineTrash())
        if (!Trash::Erase(e)) all = false;
    return all;
}

bool WineShell::deleteAtRestart(std::string_view path) {
    Item item;
    if (locate(path, item) != Found::Yes) return false;
    std::string source = files_.longPathName(RemovalGuard::Normal(path));
    if (source.empty()) source = RemovalGuard::Normal(path);
    source = "\\??\\" + source;

    HKEY key = 0;
    if (registry_.createKey(HKEY_LOCAL_MACHINE, kSessionManager, &key) != ERROR_SUCCESS) return false;
    std::uint32_t type = REG_NONE;
    std::string data;
    std::vector<std::pair<std::string, std::string>> pairs;
    if (registry_.queryValue(key, kPending, &type, &data) == ERROR_SUCCESS && type == REG_MULTI_SZ)
        pairs = pendingPairs(data);
    bool already = false;
    for (const auto& [from, to] : pairs)
        if (to.empty() && EqualsNoCase(from, source)) already = true;
    long status = ERROR_SUCCESS;
    if (!already) {
        pairs.emplace_back(source, "");
        std::string out;
        for (const auto& [from, to] : pairs) {
            out += from;
            out += '\0';
            out += to;
            out += '\0';
        }
        out += '\0';
        status = registry_.setValue(key, kPending, REG_MULTI_SZ, out);
    }
    const long closed = registry_.closeKey(key);
    return status == ERROR_SUCCESS && closed == ERROR_SUCCESS;
}

}  // namespace korvex::wine
