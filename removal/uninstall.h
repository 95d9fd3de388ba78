// Uninstalling from a saved uninstall data file in one step (after one question), and
// turning a saved file back into the change list files for a review in the
// found-changes window. A saved file is untrusted input: it may come from another
// machine or be damaged, so every entry is checked before anything is removed, and
// nothing of the machine's structure or outside it is removed whatever it says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "removal/removal_context.h"
#include "removal/saved_file.h"
#include "removal/shared_dll.h"

namespace korvex {

inline constexpr std::string_view kLeftoverFile = "temp.kvu";
// Larger files are no saved data files: nothing Korvex writes comes near this.
inline constexpr std::uint64_t kMaxSavedFileBytes = 256ull << 20;

enum class UninstallOutcome {
    Cancelled,        // the user said No
    NotValid,         // not a saved data file
    RegistryInUse,    // Wine is using the registry: nothing was removed
    Uninstalled,      // "... has been uninstalled."
    ItemsLeft,        // some items stay; the data file now lists them
    FilesAtRestart,   // the rest goes at the machine's next start
    FilesLeft95,      // Windows 95 family: what stays is listed in the data file
};

struct UninstallResult {
    UninstallOutcome outcome = UninstallOutcome::Cancelled;
    Refusals refusals;  // for the caller to show once
};

// The program name of a data file: its file name without the last four characters.
std::string ProgramName(std::string_view path);

// Asks, removes the files and folders, the registry keys and the system-file lines
// the data file lists, writes what could not be removed back into it (or deletes it),
// takes it out of the recent saved files list and tells the user how it went.
UninstallResult UninstallFromSavedFile(RemovalContext& c, const std::string& path, InUseDll& dll);

// Writes the four change list files in the Windows drive root from the data file.
void ChangesFromSavedFile(RemovalContext& c, const std::string& path);

// What an uninstall would do, for a dry run: reads only, changes nothing.
struct PlannedItem {
    std::string name;      // path, key name, or added line
    std::string detail;    // the line put back (" " for none) for lines
    std::string file;      // the system text file, for lines
    std::uint64_t bytes = 0;     // files and folders
    std::uint64_t subKeys = 0;   // keys: every key below it
    bool exists = false;
    bool isFolder = false;
    std::string refusal;   // why it would stay, "" when it would go
};
struct UninstallPlan {
    bool valid = false;
    std::vector<PlannedItem> files, keys, lines;
};
UninstallPlan PlanUninstall(RemovalContext& c, const std::string& path);

}  // namespace korvex
