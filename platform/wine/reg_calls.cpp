// The registry calls of WineRegistry: opening, creating and closing keys, reading,
// writing and enumerating values and sub keys, deleting trees.
#include <unistd.h>

#include "platform/wine/reg_text.h"
#include "platform/wine/wine_registry.h"

namespace korvex::wine {

namespace {

constexpr long ERROR_KEY_DELETED = 1018;
constexpr std::uint32_t kWriteAccess = 0x6;  // KEY_SET_VALUE | KEY_CREATE_SUB_KEY

bool isPredefined(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

bool isStringType(std::uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::string toCallerData(const RegValue& v) {
    return isStringType(v.type) ? Utf16ToUtf8(BytesToUtf16(v.data)) : v.data;
}

std::string toStoredData(std::uint32_t type, std::string_view data) {
    return isStringType(type) ? Utf16ToBytes(Utf8ToUtf16(data)) : std::string(data);
}

// Whether Korvex may write the hive's file (or create it in the prefix).
bool fileWritable(const Hive& hive) {
    if (::access(hive.path.c_str(), F_OK) == 0) return ::access(hive.path.c_str(), W_OK) == 0;
    auto slash = hive.path.find_last_of('/');
    std::string dir = slash == std::string::npos ? "." : hive.path.substr(0, slash);
    return ::access(dir.c_str(), W_OK) == 0;
}

void markDeleted(RegKey& key) {
    std::vector<RegKey*> stack{&key};
    while (!stack.empty()) {
        RegKey* k = stack.back();
        stack.pop_back();
        k->deleted = true;
        for (auto& c : k->children) stack.push_back(c.get());
    }
}

}  // namespace

long WineRegistry::openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) {
    if (result) *result = 0;
    if (!result) return ERROR_INVALID_PARAMETER;
    if (isPredefined(parent)) reloadChangedHives();
    Handle h;
    if (long rc = rootHandle(parent, false, &h)) return rc;
    if (long rc = walk(h, subKey, false, Follow::All)) return rc;
    h.writable = (access & kWriteAccess) != 0;
    if (h.writable && !fileWritable(*h.hive)) return ERROR_ACCESS_DENIED;
    h.changed = false;
    *result = addHandle(std::move(h));
    return ERROR_SUCCESS;
}

long WineRegistry::createKey(HKEY parent, std::string_view subKey, HKEY* result) {
    if (result) *result = 0;
    if (!result) return ERROR_INVALID_PARAMETER;
    if (isPredefined(parent)) reloadChangedHives();
    Handle h;
    long rc = rootHandle(parent, false, &h);
    if (rc == ERROR_SUCCESS) rc = walk(h, subKey, false, Follow::All);
    if (rc == ERROR_FILE_NOT_FOUND) {
        // Something on the path is missing: this is a write.
        Handle p;
        if (long r = handleFor(parent == HKEY_CLASSES_ROOT ? HKEY_LOCAL_MACHINE : parent, &p)) return r;
        if (!p.writable || !fileWritable(*p.hive)) return ERROR_ACCESS_DENIED;
        if (long r = refusal()) return r;
        rc = rootHandle(parent, true, &h);
        if (rc == ERROR_SUCCESS) rc = walk(h, subKey, true, Follow::All);
    }
    if (rc != ERROR_SUCCESS) return rc;
    if (!fileWritable(*h.hive)) return ERROR_ACCESS_DENIED;
    h.writable = true;
    *result = addHandle(std::move(h));
    return ERROR_SUCCESS;
}

long WineRegistry::closeKey(HKEY key) {
    if (isPredefined(key)) return ERROR_SUCCESS;
    auto it = handles_.find(key);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    bool changed = it->second.changed;
    handles_.erase(it);
    long rc = changed ? saveAll() : ERROR_SUCCESS;
    if (handles_.empty()) {
        machine_.removed.clear();
        user_.removed.clear();
    }
    return rc;
}

long WineRegistry::queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) {
    Handle h;
    if (long rc = rootHandle(key, false, &h)) return rc;
    const RegValue* v = h.key->findValue(Utf8ToUtf16(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    if (data) *data = toCallerData(*v);
    return ERROR_SUCCESS;
}

long WineRegistry::setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) {
    Handle h;
    if (long rc = rootHandle(key, false, &h)) return rc;
    if (!h.writable) return ERROR_ACCESS_DENIED;
    if (long r = refusal()) return r;
    std::string stored = toStoredData(type, data);
    std::u16string name16 = Utf8ToUtf16(name);
    if (RegValue* v = h.key->findValue(name16)) {
        if (v->type == type && v->data == stored) return ERROR_SUCCESS;
        v->type = type;
        v->data = std::move(stored);
        v->raw = {};
    } else {
        RegValue fresh;
        fresh.name = std::move(name16);
        fresh.type = type;
        fresh.data = std::move(stored);
        h.key->values.push_back(std::move(fresh));
    }
    h.hive->dirty = true;
    return changedThrough(key);
}

long WineRegistry::deleteValue(HKEY key, std::string_view name) {
    Handle h;
    if (long rc = rootHandle(key, false, &h)) return rc;
    if (!h.writable) return ERROR_ACCESS_DENIED;
    RegValue* v = h.key->findValue(Utf8ToUtf16(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (long r = refusal()) return r;
    h.key->values.erase(h.key->values.begin() + (v - h.key->values.data()));
    h.hive->dirty = true;
    return changedThrough(key);
}

long WineRegistry::enumKey(HKEY key, std::uint32_t index, std::string* name) {
    Handle h;
    if (long rc = rootHandle(key, false, &h)) return rc;
    if (index >= h.key->children.size()) return ERROR_NO_MORE_ITEMS;
    if (name) *name = Utf16ToUtf8(h.key->children[index]->name);
    return ERROR_SUCCESS;
}

long WineRegistry::enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                             std::string* data) {
    Handle h;
    if (long rc = rootHandle(key, false, &h)) return rc;
    if (index >= h.key->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& v = h.key->values[index];
    if (name) *name = Utf16ToUtf8(v.name);
    if (type) *type = v.type;
    if (data) *data = toCallerData(v);
    return ERROR_SUCCESS;
}

long WineRegistry::deleteTree(HKEY parent, std::string_view subKey) {
    if (isPredefined(parent)) reloadChangedHives();
    Handle h;
    if (long rc = rootHandle(parent, false, &h)) return rc;
    if (!h.writable) return ERROR_ACCESS_DENIED;
    bool wholeKey = subKey.find_first_not_of('\\') != std::string_view::npos;
    if (!wholeKey && isPredefined(parent)) return ERROR_ACCESS_DENIED;
    if (long rc = walk(h, subKey, false, Follow::NotLast)) return rc;
    if (wholeKey && !h.key->parent) return ERROR_ACCESS_DENIED;
    if (!fileWritable(*h.hive)) return ERROR_ACCESS_DENIED;
    if (long r = refusal()) return r;

    if (wholeKey) {
        auto& siblings = h.key->parent->children;
        for (auto it = siblings.begin(); it != siblings.end(); ++it) {
            if (it->get() != h.key) continue;
            markDeleted(**it);
            h.hive->removed.push_back(std::move(*it));
            siblings.erase(it);
            break;
        }
    } else {
        for (auto& child : h.key->children) {
            markDeleted(*child);
            h.hive->removed.push_back(std::move(child));
        }
        h.key->children.clear();
        h.key->values.clear();
    }
    h.hive->dirty = true;
    long rc = saveAll();
    if (handles_.empty()) {
        machine_.removed.clear();
        user_.removed.clear();
    }
    return rc;
}

long WineRegistry::rootHandle(HKEY key, bool create, Handle* out) {
    if (key != HKEY_CLASSES_ROOT) return handleFor(key, out);
    handleFor(HKEY_LOCAL_MACHINE, out);
    return walk(*out, "Software\\Classes", create, Follow::All);
}

long WineRegistry::changedThrough(HKEY key) {
    // A root cannot be closed, so a change made through it is saved at once.
    if (isPredefined(key)) return saveAll();
    handles_[key].changed = true;
    return ERROR_SUCCESS;
}

}  // namespace korvex::wine
