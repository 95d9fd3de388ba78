// The registry of a Wine prefix: handles, paths, links and saving.
#include "platform/wine/wine_registry.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text.h"
#include "platform/wine/atomic_file.h"
#include "platform/wine/reg_parse.h"
#include "platform/wine/reg_text.h"
#include "platform/wine/reg_write.h"
#include "platform/wine/wineserver.h"

namespace korvex::wine {

namespace {

constexpr long ERROR_KEY_DELETED = 1018;
constexpr std::size_t kMaxDepth = 512;

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return stampOf(st);
}

std::vector<std::u16string> splitPath(std::string_view path) {
    std::vector<std::u16string> parts;
    for (std::string_view name : SplitPath(path)) parts.push_back(Utf8ToUtf16(name));
    return parts;
}

bool isPredefined(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

}  // namespace

WineRegistry::WineRegistry(std::string prefixDir) : prefixDir_(std::move(prefixDir)) {
    machine_.root = {"system.reg", u"\\Registry\\Machine", ";; All keys relative to \\\\Machine"};
    user_.root = {"user.reg", u"\\Registry\\User\\S-1-5-21-0-0-0-1000",
                  ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000"};
    machine_.path = prefixDir_ + "/" + machine_.root.fileName;
    user_.path = prefixDir_ + "/" + user_.root.fileName;
}

std::unique_ptr<WineRegistry> WineRegistry::open(const std::string& prefixDir, std::string* error) {
    struct stat st {};
    if (::stat(prefixDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (error) *error = prefixDir + " is not a folder.";
        return nullptr;
    }
    std::string dir = prefixDir;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::unique_ptr<WineRegistry> registry(new WineRegistry(dir));
    if (!registry->loadHive(registry->machine_, error) || !registry->loadHive(registry->user_, error)) return nullptr;
    return registry;
}

WineRegistry::~WineRegistry() { saveAll(); }

bool WineRegistry::loadHive(Hive& hive, std::string* error) {
    int fd = ::open(hive.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            if (error) *error = "Could not read " + hive.path + ".";
            return false;
        }
        hive.text.clear();
        hive.header = hive.trailer = {};
        hive.top = std::make_unique<RegKey>();
        hive.removed.clear();
        hive.existed = false;
        hive.dirty = false;
        hive.stamp = {};
        return true;
    }
    struct stat st {};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        text.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (ok && got < text.size()) {
            ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
    }
    ::close(fd);
    if (!ok) {
        if (error) *error = "Could not read " + hive.path + ".";
        return false;
    }
    // Parse into a scratch hive so that a bad file leaves the current one in place.
    Hive fresh;
    fresh.root = hive.root;
    fresh.path = hive.path;
    if (!ParseHive(fresh, std::move(text), error)) return false;
    hive.text = std::move(fresh.text);  // the views stay valid: the buffer moves with it
    hive.header = fresh.header;
    hive.trailer = fresh.trailer;
    hive.top = std::move(fresh.top);
    hive.removed.clear();
    hive.existed = true;
    hive.dirty = false;
    hive.stamp = stampOf(st);
    return true;
}

void WineRegistry::reloadChangedHives() {
    if (!handles_.empty()) return;
    // A walk opens keys from the root many thousand times a second: look at the
    // files at most once a second.
    auto now = std::chrono::steady_clock::now();
    if (now - lastFileCheck_ < std::chrono::seconds(1)) return;
    lastFileCheck_ = now;
    for (Hive* hive : {&machine_, &user_}) {
        if (!hive->dirty && stampOf(hive->path) != hive->stamp) loadHive(*hive, nullptr);
    }
}

long WineRegistry::handleFor(HKEY key, Handle* out) const {
    if (isPredefined(key)) {
        const Hive& hive = key == HKEY_CURRENT_USER ? user_ : machine_;
        out->hive = const_cast<Hive*>(&hive);
        out->key = hive.top.get();
        out->writable = true;
        out->changed = false;
        out->chain = {out->key};
        return ERROR_SUCCESS;
    }
    auto it = handles_.find(key);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    if (it->second.key->deleted) return ERROR_KEY_DELETED;
    *out = it->second;
    return ERROR_SUCCESS;
}

bool WineRegistry::linkTarget(const RegKey& link, Hive** hive, RegKey** key) {
    for (const RegValue& v : link.values) {
        if (v.type != REG_LINK || !NamesEqual(v.name, u"SymbolicLinkValue")) continue;
        std::u16string target = BytesToUtf16(v.data);
        while (!target.empty() && target.back() == u'\0') target.pop_back();
        for (Hive* h : {&machine_, &user_}) {
            const std::u16string& root = h->root.linkPath;
            if (target.size() < root.size() || !NamesEqual(std::u16string_view(target).substr(0, root.size()), root))
                continue;
            if (target.size() > root.size() && target[root.size()] != u'\\') continue;
            RegKey* k = h->top.get();
            std::size_t start = root.size() + 1;
            while (k && start < target.size()) {
                std::size_t end = target.find(u'\\', start);
                if (end == std::u16string::npos) end = target.size();
                if (end > start) k = k->findChild(Fold(std::u16string_view(target).substr(start, end - start)));
                start = end + 1;
            }
            if (!k) return false;
            *hive = h;
            *key = k;
            return true;
        }
        return false;
    }
    return false;
}

long WineRegistry::walk(Handle& at, std::string_view subKey, bool create, Follow follow) {
    std::vector<std::u16string> parts = splitPath(subKey);
    if (create && at.chain.size() + parts.size() > kMaxDepth + 1) return ERROR_INVALID_PARAMETER;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        RegKey* child = at.key->findChild(Fold(parts[i]));
        if (!child) {
            if (!create) return ERROR_FILE_NOT_FOUND;
            child = at.key->child(parts[i]);
            child->modified = FileTimeNow();
            at.hive->dirty = true;
            at.changed = true;
        }
        bool last = i + 1 == parts.size();
        if (child->isLink && !(last && follow == Follow::NotLast)) {
            Hive* targetHive = nullptr;
            RegKey* target = nullptr;
            if (!linkTarget(*child, &targetHive, &target)) return ERROR_FILE_NOT_FOUND;
            if (std::find(at.chain.begin(), at.chain.end(), target) == at.chain.end()) {
                at.key = target;
                at.hive = targetHive;
            } else {
                at.key = child;  // following would lead back onto this path
            }
        } else {
            at.key = child;
        }
        at.chain.push_back(at.key);
    }
    return ERROR_SUCCESS;
}

HKEY WineRegistry::addHandle(Handle handle) {
    do {
        nextHandle_ += 4;
        if (nextHandle_ >= 0x80000000u) nextHandle_ = 0x1000;
    } while (handles_.count(nextHandle_));
    handles_[nextHandle_] = std::move(handle);
    return nextHandle_;
}

long WineRegistry::refusal() { return writeRefusal().empty() ? ERROR_SUCCESS : ERROR_LOCK_VIOLATION; }

std::string WineRegistry::writeRefusal() {
    WineserverState server = FindWineserver(prefixDir_);
    if (server.running) {
        std::string process = server.pid > 0 ? "wineserver process " + std::to_string(server.pid) : "a wineserver process";
        return "Wine is running programs in this machine (" + process +
               "). Close them, or run \"wineserver -k\", then try again: Korvex does not change the registry while "
               "Wine is using it.";
    }
    for (const Hive* hive : {&machine_, &user_}) {
        if (stampOf(hive->path) != hive->stamp)
            return "Another program changed " + hive->path +
                   " after Korvex read it. Close Korvex's window and try again: Korvex does not overwrite changes "
                   "it has not seen.";
    }
    return "";
}

long WineRegistry::save(Hive& hive) {
    if (!hive.dirty) return ERROR_SUCCESS;
    if (long r = refusal()) return r;
    if (!ReplaceFileAtomically(hive.path, SerializeHive(hive), &saveError_)) return ERROR_WRITE_FAULT;
    saveError_.clear();
    hive.dirty = false;
    hive.stamp = stampOf(hive.path);
    return ERROR_SUCCESS;
}

long WineRegistry::saveAll() {
    long a = save(machine_);
    long b = save(user_);
    return a != ERROR_SUCCESS ? a : b;
}

long WineRegistry::flush() { return saveAll(); }

}  // namespace korvex::wine
