// Removing registry keys named by saved-file entries or window rows: the refusals of
// keys every machine needs, one backup of all the keys about to go, then DeleteKeyTree
// for each. Also the check every removal makes first: while Wine uses the machine's
// registry, nothing that needs it is started.
#pragma once

#include <string>
#include <vector>

#include "removal/removal_context.h"

namespace korvex {

enum class KeyResult { Removed, AlreadyGone, Refused, Failed };

// One result per entry, in order. Refused keys are added to refusals. When the backup
// cannot be written no key is deleted: the user is told, and every existing key
// counts as Failed.
std::vector<KeyResult> RemoveKeys(RemovalContext& c, const std::vector<std::string>& fullNames, Refusals& refusals);

// True (after telling the user to close the machine's Windows programs) when the
// registry cannot be written now; then a removal that has keys or lines to remove
// must not start.
bool RegistryInUse(RemovalContext& c);

}  // namespace korvex
