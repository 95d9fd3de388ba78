// The registry backup Korvex writes before it deletes keys: every key with its values
// and sub keys, in the format "wine regedit" imports ("Windows Registry Editor Version
// 5.00", UTF-16LE with a byte order mark), as a dated file in the "Backups" folder of
// the data folder. Importing the file puts the keys back. Not responsible for deciding
// which keys go.
#pragma once

#include <string>
#include <vector>

#include "removal/removal_context.h"
#include "removal/safety.h"

namespace korvex {

// The .reg text (UTF-8, before its conversion) of the keys that exist; "" when none.
std::string RegistryExportText(RegistryAccess& registry, const std::vector<KeyName>& keys);

// UTF-8 to UTF-16LE bytes; bytes that are not UTF-8 count as the code point of their value.
std::string Utf16Le(std::string_view utf8);

// Writes the backup of the keys that exist into dataFolder + "Backups\". True when it
// was written or there was nothing to keep; path (when given) names the file written.
bool BackUpKeys(RemovalContext& c, const std::vector<KeyName>& keys, std::string* path = nullptr);

}  // namespace korvex
