// Test support: the whole content of a registry as lines, and a registry that counts
// the writes passed through it.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"

namespace korvex::testing {

// "[HKCU\Software\Korvex!\General]" for every key (sub keys in enumeration order,
// below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE) followed by one line per value in
// creation order: "DefaultPath=C:\..." ("@" names the default value; character 127
// is shown as "<127>" so that a difference can be read in the test output).
std::vector<std::string> DumpRegistry(Registry& registry);

// Text as DumpRegistry shows it: character 127 as "<127>", NUL as "<0>".
std::string Readable(std::string_view text);

// The lines joined with "\n", so that a failed comparison shows where they differ.
std::string Joined(const std::vector<std::string>& lines);

// A Korvex list value: every entry followed by character 127.
std::string WithSeparators(const std::vector<std::string>& entries);

// Forwards every call; counts the calls that create or change something and notes
// which keys were created in which order.
class CountingRegistry : public Registry {
public:
    explicit CountingRegistry(Registry& inner) : inner_(inner) {}

    long openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) override {
        return inner_.openKey(parent, subKey, access, result);
    }
    long createKey(HKEY parent, std::string_view subKey, HKEY* result) override {
        created.emplace_back(subKey);
        return inner_.createKey(parent, subKey, result);
    }
    long closeKey(HKEY key) override { return inner_.closeKey(key); }
    long queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) override {
        return inner_.queryValue(key, name, type, data);
    }
    long setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) override {
        ++writes;
        return inner_.setValue(key, name, type, data);
    }
    long deleteValue(HKEY key, std::string_view name) override {
        ++writes;
        return inner_.deleteValue(key, name);
    }
    long enumKey(HKEY key, std::uint32_t index, std::string* name) override {
        return inner_.enumKey(key, index, name);
    }
    long enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                   std::string* data) override {
        return inner_.enumValue(key, index, name, type, data);
    }
    long deleteTree(HKEY parent, std::string_view subKey) override {
        ++writes;
        return inner_.deleteTree(parent, subKey);
    }
    long flush() override { return inner_.flush(); }
    std::string writeRefusal() override { return inner_.writeRefusal(); }

    int writes = 0;
    std::vector<std::string> created;  // the sub key of every createKey, in call order

private:
    Registry& inner_;
};

}  // namespace korvex::testing
