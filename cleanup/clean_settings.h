// The choices of the System clean-up window: which junk-file categories to look for,
// the user's own file types and folders, and the folder and duplicate-scan boxes.
// Responsible for their design defaults, for reading and writing the "Sys clean"
// settings in their fixed order, and for the rules by which own types and folders
// are added. Not for showing them (the window) or for scanning (junk_scan.h).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_access.h"

namespace korvex::cleanup {

// The junk-file categories, in the order the window shows them and the scan adds
// their tokens to its pattern.
enum class JunkType { Bak, Old, Tmp, Gid, PrevCompressed, Chk, Dollar, Tidle, Chklist, Mscreate, Log, Fts };
inline constexpr std::size_t kJunkTypeCount = 12;

struct JunkTypeInfo {
    std::string_view control;  // the check box's name
    std::string_view caption;
    std::string_view setting;  // value name under "Sys clean"
    std::string_view token;    // what a checked box adds to the pattern
    std::string_view help;     // status text while the mouse is over the box
};
extern const std::array<JunkTypeInfo, kJunkTypeCount> kJunkTypes;

struct CleanUpChoices {
    // Design defaults: every box checked except MSCREATE.DIR files.
    std::array<bool, kJunkTypeCount> junk{true, true, true, true, true, true, true, true, true, false, true, true};
    std::vector<std::string> alsoScanFiles;    // "*.xyz"
    std::vector<std::string> alsoScanFolders;  // full paths without a trailing "\"
    bool tempFolder = true;
    bool cacheFolder = true;
    bool recycleBin = true;
    bool skipZeroLength = true;
    bool sameSize = true;
    bool sameDateTime = true;
    bool skipSysbckup = true;

    bool& operator[](JunkType t) { return junk[static_cast<std::size_t>(t)]; }
    bool operator[](JunkType t) const { return junk[static_cast<std::size_t>(t)]; }
};

// The window's choices as the stored settings leave them: "0" clears a box ("1"
// checks MSCREATE.DIR files), anything else keeps the design default; the own lists
// take every entry that a character 127 ends.
CleanUpChoices LoadCleanUpChoices(RegistryAccess& registry);
// Writes the 21 values in the order the window writes them on closing, creating the
// key when it cannot be opened. Returns the value names in the order written.
std::vector<std::string> SaveCleanUpChoices(RegistryAccess& registry, const CleanUpChoices& choices);

// The own-type entry an answer of the input box stands for: what follows its first
// ".", cut to 3 characters unless exactly 4 long, behind "*."; "" for no answer.
std::string OwnFileTypeEntry(std::string_view answer);
// Adds the entry of answer unless it is empty or already listed (letter case aside).
bool AddOwnFileType(std::vector<std::string>& list, std::string_view answer);
// Adds a folder: a drive root or "" is ignored, and so is a folder inside (or equal
// to) a listed one; a listed folder inside the new one is replaced by it.
bool AddOwnFolder(std::vector<std::string>& list, std::string_view folder);
// Removes the entries at these indexes, highest first.
void RemoveEntries(std::vector<std::string>& list, std::vector<std::size_t> indexes);

}  // namespace korvex::cleanup
