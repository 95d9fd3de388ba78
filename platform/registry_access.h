// Korvex's registry operations: handles in, text out. Every setting, the registry
// snapshot and the removal of keys go through these. No call raises an error: a
// failed open gives handle 0, a failed read gives "", the rest give the status code.
// A refused write (a wineserver is using the prefix) is reported to the user once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "platform/registry.h"

namespace korvex {

// The text of raw value data: REG_SZ without its NUL, REG_BINARY "", REG_DWORD in
// decimal, any other type "<unsupported type: N>".
std::string ValueToText(const unsigned char* data, std::size_t length, std::uint32_t type);

class RegistryAccess {
public:
    RegistryAccess(Registry& registry, Prompt& prompt);

    HKEY OpenKey(HKEY root, std::string_view path);    // read-write, else read-only; 0 on failure
    HKEY CreateKey(HKEY root, std::string_view path);  // 0 on failure
    long CloseKey(HKEY key);
    long SetValue(HKEY key, std::string_view name, std::string_view text, std::uint32_t type = REG_SZ);
    long SetKeyDefault(HKEY rootOrKey, std::string_view subKey, std::uint32_t type, std::string_view text);
    std::string QueryValue(HKEY key, std::string_view name);
    long DeleteValue(HKEY key, std::string_view name);
    // 0 on success; 1 after telling the user the key could not be deleted.
    int DeleteKeyTree(HKEY root, std::string_view path);
    // Full paths of the sub keys, each followed by character 127, in the reverse of
    // the enumeration order, without the excluded path; "" for a missing key.
    std::string EnumSubKeyPaths(HKEY root, std::string_view path, std::string_view excluded);

    Registry& registry() { return registry_; }

private:
    Registry& registry_;
    Prompt& prompt_;
    bool refusalShown_ = false;
};

}  // namespace korvex
