// What Korvex refuses to remove before it asks the shell: registry keys that every
// Windows machine has (hive roots, the keys directly below them, and the well-known
// keys of Windows, Wine and Korvex itself; their sub keys stay removable), and entries
// of a saved data file that no Windows path of the machine can be (relative paths,
// "." or ".." names, UNC and host paths, drive roots, control characters). The shell's
// own guard decides about real locations on disk; these checks need no disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace korvex {

// A registry entry of a saved file or a window row, split: the hive as the removal
// takes it (HKEY_CURRENT_USER when the name before the first "\" begins with
// "HKEY_CURRENT_USER", otherwise HKEY_LOCAL_MACHINE) and the key path with empty
// names dropped ("Software\\\\X\\" is "Software\X").
struct KeyName {
    HKEY hive = HKEY_LOCAL_MACHINE;
    std::string path;
};
KeyName SplitKeyName(std::string_view fullName);

// Why a key must stay, or nothing when it may be removed.
std::optional<std::string> KeyRefusal(const KeyName& key);

// Why a file or folder entry cannot be removed, or nothing when it is a well-formed
// path below a drive root ("C:\...").
std::optional<std::string> PathRefusal(std::string_view path);

}  // namespace korvex
