#include "removal/remove_keys.h"

#include "removal/registry_backup.h"
#include "removal/safety.h"

namespace korvex {

std::vector<KeyResult> RemoveKeys(RemovalContext& c, const std::vector<std::string>& fullNames, Refusals& refusals) {
    std::vector<KeyResult> results(fullNames.size(), KeyResult::AlreadyGone);
    std::vector<KeyName> keys(fullNames.size());
    std::vector<KeyName> existing;
    for (std::size_t i = 0; i < fullNames.size(); ++i) {
        keys[i] = SplitKeyName(fullNames[i]);
        if (auto why = KeyRefusal(keys[i])) {
            results[i] = KeyResult::Refused;
            refusals.push_back({fullNames[i], *why});
            continue;
        }
        const HKEY key = c.registry.OpenKey(keys[i].hive, keys[i].path);
        if (!key) continue;  // already gone
        c.registry.CloseKey(key);
        results[i] = KeyResult::Failed;
        existing.push_back(keys[i]);
    }
    if (existing.empty()) return results;
    if (!BackUpKeys(c, existing)) {
        c.prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Korvex!",
                             "Korvex! could not write the backup of the registry keys to " + c.dataFolder +
                                 "Backups. No registry key was deleted."});
        return results;
    }
    for (std::size_t i = 0; i < fullNames.size(); ++i) {
        if (results[i] != KeyResult::Failed) continue;
        c.prompt.yield();
        if (c.registry.DeleteKeyTree(keys[i].hive, keys[i].path) == 0) results[i] = KeyResult::Removed;
    }
    return results;
}

bool RegistryInUse(RemovalContext& c) {
    const std::string why = c.services.registry.writeRefusal();
    if (why.empty()) return false;
    c.prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Korvex!",
                         why + " Nothing was removed: close the machine's Windows programs first."});
    return true;
}

}  // namespace korvex
