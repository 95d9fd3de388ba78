// The registry snapshot: the path of every key below a starting key of one hive,
// one per line, written to a file. Used by Update database for both hives and by
// Find changes for the current state. Responsible for the order of the lines and for
// leaving out an excluded sub tree; not for deciding which hives or files to use.
#pragma once

#include <string_view>

#include "platform/filesystem.h"
#include "platform/prompt.h"
#include "platform/registry_access.h"

namespace korvex::scandb {

// Writes the key list of root below start ("" for the whole hive) to outputPath
// (created or emptied): each key's path without a leading "\" (the hive root is the
// empty line), each key before its sub tree, sub keys in the reverse of the order
// EnumSubKeyPaths enumerates them, excluded (compared without regard to case; "" for
// none) and everything below it left out. A key that cannot be opened is listed
// without anything below it. After each key: prompt.yield(), then the stop test.
// Returns 1 when the whole tree was written, 0 when stop ended the walk (the partial
// file is left for the caller to delete). An output that cannot be created or
// completely written is deleted, so a failed dump never passes for a good one.
int DumpRegistryTree(RegistryAccess& registry, FileSystem& files, Prompt& prompt, HKEY root,
                     std::string_view start, std::string_view outputPath, const bool& stop,
                     std::string_view excluded);

}  // namespace korvex::scandb
