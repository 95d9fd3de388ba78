#include "settings/setting_value.h"

namespace korvex {

std::string ReadSetting(RegistryAccess& registry, std::string_view key, std::string_view name) {
    const HKEY opened = registry.OpenKey(HKEY_CURRENT_USER, key);
    if (opened == 0) return {};
    std::string value = registry.QueryValue(opened, name);
    registry.CloseKey(opened);
    return value;
}

}  // namespace korvex
