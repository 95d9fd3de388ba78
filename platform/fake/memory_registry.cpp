#include "platform/fake/memory_registry.h"

#include "platform/text.h"

namespace korvex {

struct MemoryRegistry::Key {
    struct Value {
        std::string name;
        std::uint32_t type;
        std::string data;
    };
    std::string name;
    Key* parent = nullptr;
    std::map<std::string, std::unique_ptr<Key>, LessNoCase> subkeys;
    std::vector<Value> values;

    Value* value(std::string_view n) {
        for (auto& v : values)
            if (EqualsNoCase(v.name, n)) return &v;
        return nullptr;
    }
    std::string path() const {
        if (!parent) return name;
        return parent->path() + "\\" + name;
    }
};


MemoryRegistry::MemoryRegistry() : machine_(std::make_unique<Key>()), user_(std::make_unique<Key>()) {
    machine_->name = "HKLM";
    user_->name = "HKCU";
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Key* MemoryRegistry::byHandle(HKEY key, bool* readOnly) const {
    if (readOnly) *readOnly = false;
    if (key == HKEY_LOCAL_MACHINE) return machine_.get();
    if (key == HKEY_CURRENT_USER) return user_.get();
    if (key == HKEY_CLASSES_ROOT) {
        auto s = machine_->subkeys.find(std::string_view("Software"));
        if (s == machine_->subkeys.end()) return nullptr;
        auto c = s->second->subkeys.find(std::string_view("Classes"));
        return c == s->second->subkeys.end() ? nullptr : c->second.get();
    }
    auto it = handles_.find(key);
    if (it == handles_.end()) return nullptr;
    if (readOnly) *readOnly = it->second.readOnly;
    return it->second.key;
}

MemoryRegistry::Key* MemoryRegistry::resolve(HKEY parent, std::string_view subKey, bool create, bool* readOnly) {
    Key* k = byHandle(parent, readOnly);
    if (!k && parent == HKEY_CLASSES_ROOT && create) {
        HKEY h = 0;
        if (createKey(HKEY_LOCAL_MACHINE, "Software\\Classes", &h) != ERROR_SUCCESS) return nullptr;
        closeKey(h);
        k = byHandle(parent, readOnly);
    }
    if (!k) return nullptr;
    for (auto part : SplitPath(subKey)) {
        auto it = k->subkeys.find(part);
        if (it == k->subkeys.end()) {
            if (!create) return nullptr;
            auto child = std::make_unique<Key>();
            child->name = std::string(part);
            child->parent = k;
            Key* raw = child.get();
            k->subkeys.emplace(child->name, std::move(child));
            k = raw;
        } else {
            k = it->second.get();
        }
    }
    return k;
}

static bool underAny(const std::set<std::string>& paths, const std::string& keyPath) {
    for (const auto& p : paths) {
        std::string norm = p;
        if (StartsWithNoCase(norm, "HKEY_LOCAL_MACHINE")) norm = "HKLM" + norm.substr(18);
        if (StartsWithNoCase(norm, "HKEY_CURRENT_USER")) norm = "HKCU" + norm.substr(17);
        if (StartsWithNoCase(norm, "HKCR")) norm = "HKLM\\Software\\Classes" + norm.substr(4);
        if (EqualsNoCase(norm, keyPath) || StartsWithNoCase(keyPath, norm + "\\")) return true;
    }
    return false;
}

HKEY MemoryRegistry::newHandle(Key* key, bool readOnly) {
    HKEY h = nextHandle_++;
    handles_[h] = Handle{key, readOnly};
    ++openCount;
    return h;
}

long MemoryRegistry::openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) {
    if (result) *result = 0;
    bool parentReadOnly = false;
    Key* k = resolve(parent, subKey, false, &parentReadOnly);
    if (!k) return byHandle(parent, nullptr) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    bool ro = underAny(readOnlyKeys, k->path());
    if (ro && access != KEY_READ) return ERROR_ACCESS_DENIED;
    if (result) *result = newHandle(k, access == KEY_READ);
    return ERROR_SUCCESS;
}

long MemoryRegistry::createKey(HKEY parent, std::string_view subKey, HKEY* result) {
    if (result) *result = 0;
    bool ro = false;
    Key* existing = resolve(parent, subKey, false, &ro);
    if (!existing) {
        if (!refusal.empty()) return ERROR_LOCK_VIOLATION;
        Key* base = byHandle(parent, &ro);
        if (base && (ro || underAny(readOnlyKeys, base->path()))) return ERROR_ACCESS_DENIED;
        existing = resolve(parent, subKey, true, &ro);
        if (!existing) return ERROR_INVALID_HANDLE;
    }
    bool keyRo = underAny(readOnlyKeys, existing->path());
    if (result) *result = newHandle(existing, keyRo);
    return ERROR_SUCCESS;
}

long MemoryRegistry::closeKey(HKEY key) {
    auto it = handles_.find(key);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    handles_.erase(it);
    --openCount;
    return ERROR_SUCCESS;
}

long MemoryRegistry::queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) {
    Key* k = byHandle(key, nullptr);
    if (!k) return ERROR_INVALID_HANDLE;
    auto* v = k->value(name);
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    if (data) *data = v->data;
    return ERROR_SUCCESS;
}

long MemoryRegistry::setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) {
    bool ro = false;
    Key* k = byHandle(key, &ro);
    if (!k) return ERROR_INVALID_HANDLE;
    if (!refusal.empty()) return ERROR_LOCK_VIOLATION;
    if (ro || underAny(readOnlyKeys, k->path())) return ERROR_ACCESS_DENIED;
    if (auto* v = k->value(name)) {
        v->type = type;
        v->data = std::string(data);
    } else {
        k->values.push_back({std::string(name), type, std::string(data)});
    }
    return ERROR_SUCCESS;
}

long MemoryRegistry::deleteValue(HKEY key, std::string_view name) {
    bool ro = false;
    Key* k = byHandle(key, &ro);
    if (!k) return ERROR_INVALID_HANDLE;
    if (!refusal.empty()) return ERROR_LOCK_VIOLATION;
    if (ro || underAny(readOnlyKeys, k->path())) return ERROR_ACCESS_DENIED;
    for (auto it = k->values.begin(); it != k->values.end(); ++it) {
        if (EqualsNoCase(it->name, name)) {
            k->values.erase(it);
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

long MemoryRegistry::enumKey(HKEY key, std::uint32_t index, std::string* name) {
    Key* k = byHandle(key, nullptr);
    if (!k) return ERROR_INVALID_HANDLE;
    if (index >= k->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = k->subkeys.begin();
    std::advance(it, index);
    if (name) *name = it->second->name;
    return ERROR_SUCCESS;
}

long MemoryRegistry::enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                               std::string* data) {
    Key* k = byHandle(key, nullptr);
    if (!k) return ERROR_INVALID_HANDLE;
    if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
    const auto& v = k->values[index];
    if (name) *name = v.name;
    if (type) *type = v.type;
    if (data) *data = v.data;
    return ERROR_SUCCESS;
}

static bool anyReadOnlyBelow(const MemoryRegistry::Key* k, const std::set<std::string>& ro);

long MemoryRegistry::deleteTree(HKEY parent, std::string_view subKey) {
    bool ro = false;
    Key* k = resolve(parent, subKey, false, &ro);
    if (!k) return ERROR_FILE_NOT_FOUND;
    if (!refusal.empty()) return ERROR_LOCK_VIOLATION;
    if (!k->parent) return ERROR_ACCESS_DENIED;  // a hive root cannot go
    if (ro || anyReadOnlyBelow(k, readOnlyKeys)) return ERROR_ACCESS_DENIED;
    for (auto it = handles_.begin(); it != handles_.end();) {
        // Handles into the deleted tree become invalid.
        const Key* h = it->second.key;
        bool inside = false;
        for (const Key* p = h; p; p = p->parent)
            if (p == k) inside = true;
        if (inside) {
            it = handles_.erase(it);
            --openCount;
        } else {
            ++it;
        }
    }
    k->parent->subkeys.erase(k->name);
    ++flushes;
    return ERROR_SUCCESS;
}

static bool anyReadOnlyBelow(const MemoryRegistry::Key* k, const std::set<std::string>& ro) {
    if (underAny(ro, k->path())) return true;
    for (const auto& [n, child] : k->subkeys)
        if (anyReadOnlyBelow(child.get(), ro)) return true;
    return false;
}

long MemoryRegistry::flush() {
    ++flushes;
    return ERROR_SUCCESS;
}

std::string MemoryRegistry::writeRefusal() { return refusal; }

static std::pair<HKEY, std::string_view> splitRoot(std::string_view path) {
    auto slash = path.find('\\');
    std::string_view root = path.substr(0, slash);
    std::string_view rest = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (EqualsNoCase(root, "HKLM") || EqualsNoCase(root, "HKEY_LOCAL_MACHINE")) return {HKEY_LOCAL_MACHINE, rest};
    if (EqualsNoCase(root, "HKCU") || EqualsNoCase(root, "HKEY_CURRENT_USER")) return {HKEY_CURRENT_USER, rest};
    if (EqualsNoCase(root, "HKCR") || EqualsNoCase(root, "HKEY_CLASSES_ROOT")) return {HKEY_CLASSES_ROOT, rest};
    return {0, rest};
}

void MemoryRegistry::setString(std::string_view keyPath, std::string_view name, std::string_view text) {
    auto [root, rest] = splitRoot(keyPath);
    bool ro = false;
    Key* k = resolve(root, rest, true, &ro);
    if (!k) return;
    std::string data(text);
    data.push_back('\0');
    if (auto* v = k->value(name)) {
        v->type = REG_SZ;
        v->data = data;
    } else {
        k->values.push_back({std::string(name), REG_SZ, data});
    }
}

const MemoryRegistry::Key* MemoryRegistry::find(std::string_view keyPath) const {
    auto [root, rest] = splitRoot(keyPath);
    return const_cast<MemoryRegistry*>(this)->resolve(root, rest, false, nullptr);
}

bool MemoryRegistry::keyExists(std::string_view keyPath) const { return find(keyPath) != nullptr; }

std::optional<std::string> MemoryRegistry::text(std::string_view keyPath, std::string_view name) const {
    const Key* k = find(keyPath);
    if (!k) return std::nullopt;
    for (const auto& v : k->values) {
        if (!EqualsNoCase(v.name, name)) continue;
        std::string d = v.data;
        if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && !d.empty() && d.back() == '\0') d.pop_back();
        return d;
    }
    return std::nullopt;
}

std::vector<std::string> MemoryRegistry::valueNames(std::string_view keyPath) const {
    std::vector<std::string> r;
    if (const Key* k = find(keyPath))
        for (const auto& v : k->values) r.push_back(v.name);
    return r;
}

}  // namespace korvex
