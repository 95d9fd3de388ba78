// Test support: the whole content of a registry as lines.
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

// A Korvex list value: every entry followed by character 127.
std::string WithSeparators(const std::vector<std::string>& entries);

}  // namespace korvex::testing
