// A registry held in memory, for tests: the same behaviour as the machine's registry
// (case-insensitive names, sorted sub keys, values in creation order, handles), with
// failures on demand. Nothing is written anywhere.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace korvex {

class MemoryRegistry : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    long openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) override;
    long createKey(HKEY parent, std::string_view subKey, HKEY* result) override;
    long closeKey(HKEY key) override;
    long queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) override;
    long setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) override;
    long deleteValue(HKEY key, std::string_view name) override;
    long enumKey(HKEY key, std::uint32_t index, std::string* name) override;
    long enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                   std::string* data) override;
    long deleteTree(HKEY parent, std::string_view subKey) override;
    long flush() override;
    std::string writeRefusal() override;

    // Test helpers. Paths are "HKLM\Software\X" style with the root's short name
    // (HKCR, HKCU, HKLM) or full name.
    void setString(std::string_view keyPath, std::string_view name, std::string_view text);
    bool keyExists(std::string_view keyPath) const;
    // REG_SZ text of a value without its NUL; nothing when absent.
    std::optional<std::string> text(std::string_view keyPath, std::string_view name) const;
    // Value names of a key in order.
    std::vector<std::string> valueNames(std::string_view keyPath) const;

    // Failures on demand.
    std::set<std::string> readOnlyKeys;   // opened read-only; writes and deletes fail (paths as above, any case)
    std::string refusal;                  // when not empty, every write is refused with it
    int openCount = 0;                    // handles currently open (leak checks)
    int flushes = 0;

    struct Key;

private:
    Key* resolve(HKEY parent, std::string_view subKey, bool create, bool* readOnly);
    Key* byHandle(HKEY key, bool* readOnly) const;
    const Key* find(std::string_view keyPath) const;
    HKEY newHandle(Key* key, bool readOnly);

    std::unique_ptr<Key> machine_, user_;
    struct Handle { Key* key; bool readOnly; };
    std::map<HKEY, Handle> handles_;
    HKEY nextHandle_ = 0x100;
};

}  // namespace korvex
