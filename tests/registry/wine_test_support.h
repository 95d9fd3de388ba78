// Helpers of the Wine registry tests: the registry fixture files, left-over
// files, values and sub keys read through the Registry calls, and a walk over a
// registry the way Korvex's snapshot walks it.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/support/host_files.h"

namespace korvex::testing {

// The shared host-file helpers come along with these.
using namespace korvex::test;

inline std::string Fixture(const std::string& name) { return std::string(KORVEX_TEST_DATA) + "/wine/" + name; }

// Puts the fixture system.reg and user.reg into a prefix folder.
inline void CopyFixtures(const std::string& prefix) {
    for (const char* name : {"system.reg", "user.reg"}) WriteHostFile(prefix + "/" + name, ReadHostFile(Fixture(name)));
}

// A REG_SZ value's data: the text with its terminating NUL.
inline std::string sz(std::string_view text) { return std::string(text) + '\0'; }

// Sets a string value through a handle of its own (made with create), closing it
// again, which saves; the first failure is returned.
inline long Write(Registry& reg, HKEY root, const std::string& path, const std::string& name, const std::string& text,
                  bool create = false) {
    HKEY key = 0;
    long rc = create ? reg.createKey(root, path, &key) : reg.openKey(root, path, KEY_ALL_ACCESS_RW, &key);
    if (rc == ERROR_SUCCESS) rc = reg.setValue(key, name, REG_SZ, sz(text));
    const long closed = reg.closeKey(key);
    return rc != ERROR_SUCCESS ? rc : closed;
}

// The inode a path names now; a file replaced by rename gets a new one.
inline ino_t inodeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

// A value's data as stored, or "<no key>" / "<no value>".
inline std::string Query(Registry& reg, HKEY root, const std::string& path, const std::string& name) {
    HKEY key = 0;
    if (reg.openKey(root, path, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    std::string data;
    long rc = reg.queryValue(key, name, nullptr, &data);
    reg.closeKey(key);
    return rc == ERROR_SUCCESS ? data : "<no value>";
}

// A key's sub keys in enumeration order.
inline std::vector<std::string> SubKeys(Registry& reg, HKEY root, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = 0;
    if (reg.openKey(root, path, KEY_READ, &key) != ERROR_SUCCESS) return names;
    std::string name;
    for (std::uint32_t i = 0; reg.enumKey(key, i, &name) == ERROR_SUCCESS; ++i) names.push_back(name);
    reg.closeKey(key);
    return names;
}

// The number of keys reached by opening every key by its full path from the root,
// enumerating its sub keys and closing it again, depth first: the way a registry
// snapshot walks. Stops past limits that a finite registry never reaches.
inline std::size_t WalkTree(Registry& reg, HKEY root, const std::string& start, std::size_t keyLimit = 2000000) {
    std::size_t keys = 0;
    std::vector<std::pair<std::string, std::size_t>> stack{{start, 0}};
    while (!stack.empty() && keys < keyLimit) {
        auto [path, depth] = stack.back();
        stack.pop_back();
        HKEY key = 0;
        if (depth > 600 || reg.openKey(root, path, KEY_READ, &key) != ERROR_SUCCESS) continue;
        ++keys;
        std::string name;
        for (std::uint32_t i = 0; reg.enumKey(key, i, &name) == ERROR_SUCCESS; ++i)
            stack.emplace_back(path.empty() ? name : path + "\\" + name, depth + 1);
        reg.closeKey(key);
    }
    return keys;
}

}  // namespace korvex::testing
