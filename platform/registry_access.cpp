// Korvex's registry operations over the platform's Registry.
#include "platform/registry_access.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace korvex {

std::string ValueToText(const unsigned char* data, std::size_t length, std::uint32_t type) {
    switch (type) {
        case REG_SZ:
            if (length == 0 || !data) return "";
            return std::string(reinterpret_cast<const char*>(data), length - 1);
        case REG_BINARY:
            return "";
        case REG_DWORD: {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < 4 && i < length && data; ++i) value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
            return std::to_string(value);
        }
        default:
            return "<unsupported type: " + std::to_string(type) + ">";
    }
}

RegistryAccess::RegistryAccess(Registry& registry, Prompt& prompt) : registry_(registry), prompt_(prompt) {}

namespace {

bool isStringType(std::uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Tells the user once why the registry cannot be changed now; every later refusal
// of the same run stays quiet so that a removal of many keys does not flood them.
void reportRefusal(long status, Registry& registry, Prompt& prompt, bool& shown) {
    if (status != ERROR_LOCK_VIOLATION || shown) return;
    shown = true;
    Message m;
    m.icon = Icon::Exclamation;
    m.buttons = Buttons::OK;
    m.title = "Korvex!";
    m.text = registry.writeRefusal();
    prompt.messageBox(m);
}

}  // namespace

HKEY RegistryAccess::OpenKey(HKEY root, std::string_view path) {
    HKEY key = 0;
    if (registry_.openKey(root, path, KEY_ALL_ACCESS_RW, &key) == ERROR_SUCCESS && key) return key;
    key = 0;
    if (registry_.openKey(root, path, KEY_READ, &key) == ERROR_SUCCESS && key) return key;
    return 0;
}

HKEY RegistryAccess::CreateKey(HKEY root, std::string_view path) {
    HKEY key = 0;
    long status = registry_.createKey(root, path, &key);
    if (status != ERROR_SUCCESS) {
        reportRefusal(status, registry_, prompt_, refusalShown_);
        return 0;
    }
    return key;
}

long RegistryAccess::CloseKey(HKEY key) {
    long status = registry_.closeKey(key);
    reportRefusal(status, registry_, prompt_, refusalShown_);
    return status;
}

long RegistryAccess::SetValue(HKEY key, std::string_view name, std::string_view text, std::uint32_t type) {
    // Text goes in with its terminating NUL so that QueryValue gives it back unchanged.
    std::string data(text);
    if (isStringType(type)) data += '\0';
    long status = registry_.setValue(key, name, type, data);
    reportRefusal(status, registry_, prompt_, refusalShown_);
    return status;
}

long RegistryAccess::SetKeyDefault(HKEY rootOrKey, std::string_view subKey, std::uint32_t type, std::string_view text) {
    HKEY key = 0;
    long status = registry_.createKey(rootOrKey, subKey, &key);
    if (status == ERROR_SUCCESS) {
        std::string data(text);
        if (isStringType(type)) data += '\0';
        status = registry_.setValue(key, "", type, data);
        long closed = registry_.closeKey(key);
        if (status == ERROR_SUCCESS) status = closed;
    }
    reportRefusal(status, registry_, prompt_, refusalShown_);
    return status;
}

std::string RegistryAccess::QueryValue(HKEY key, std::string_view name) {
    if (!key) return "";
    std::uint32_t type = 0;
    std::string data;
    if (registry_.queryValue(key, name, &type, &data) != ERROR_SUCCESS) return "";
    return ValueToText(reinterpret_cast<const unsigned char*>(data.data()), data.size(), type);
}

long RegistryAccess::DeleteValue(HKEY key, std::string_view name) {
    long status = registry_.deleteValue(key, name);
    reportRefusal(status, registry_, prompt_, refusalShown_);
    return status;
}

int RegistryAccess::DeleteKeyTree(HKEY root, std::string_view path) {
    long status = registry_.deleteTree(root, path);
    if (status == ERROR_SUCCESS) return 0;
    reportRefusal(status, registry_, prompt_, refusalShown_);
    Message m;
    m.icon = Icon::Critical;
    m.buttons = Buttons::OK;
    m.title = "Error deleting key";
    m.text = "Error deleting key " + std::string(path) + ". Administrative privileges required";
    prompt_.messageBox(m);
    return 1;
}

std::string RegistryAccess::EnumSubKeyPaths(HKEY root, std::string_view path, std::string_view excluded) {
    HKEY key = OpenKey(root, path);
    if (!key) return "";
    std::vector<std::string> found;
    std::string name;
    for (std::uint32_t index = 0;; ++index) {
        name.clear();
        if (registry_.enumKey(key, index, &name) != ERROR_SUCCESS) break;
        // A key name with a line break or character 127 would split a key list or
        // the snapshot's lines: such keys are left out of every list Korvex makes.
        // They still go with their parent when it is deleted.
        const bool listable = std::none_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 32 || c == kListSeparator;
        });
        std::string full = std::string(path) + "\\" + name;
        if (listable && !EqualsNoCase(full, excluded)) found.push_back(std::move(full));
        prompt_.yield();
    }
    registry_.closeKey(key);
    // Each path goes in front of the list built so far: reverse enumeration order.
    std::string list;
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        list += *it;
        list += kListSeparator;
    }
    return list;
}

}  // namespace korvex
