// Reading one of Korvex's settings where only that one value is wanted: the key is
// opened, read and closed again. Code that reads several values of a key opens it once
// itself.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry_access.h"

namespace korvex {

// The text of value name in key (below HKEY_CURRENT_USER); "" when either is missing.
std::string ReadSetting(RegistryAccess& registry, std::string_view key, std::string_view name);

}  // namespace korvex
