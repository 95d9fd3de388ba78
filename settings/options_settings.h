// What the Options dialog shows and stores: every setting it edits, read from the
// registry in one go when the dialog opens and written back in one go on "OK", with
// the rules for values that are missing or unknown, the folders to ignore that no
// longer exist, the two parallel lists of programs that setup detection ignores, and
// what "Add to list..." accepts. The dialog's controls mirror an OptionsState; the
// window owns them, this owns the values and their order in the registry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex {

// The scheduler's timing options; None when the stored values select none of them.
enum class SchedulerTiming { None, EveryDay, Weekly, Monthly };

// One row of the programs that setup detection never takes for an installer.
struct IgnoredProgram {
    std::string name, folder, added, size;
    bool operator==(const IgnoredProgram&) const = default;
};

struct OptionsState {
    // General tab.
    std::vector<std::string> foldersToIgnore;  // each ends in "\"
    bool enableScheduler = true;
    // Advanced tab.
    int scanMode = 0;     // 0 all folders, 1 Windows and Program Files, 2 Windows, 3 Program Files
    int deleteMode = 0;   // 0 Recycle Bin, 1 delete, 2 move to the data folder, 3 zip to it
    bool scanRegistry = false;
    bool completeRegistry = true;  // else only the \Software sections
    bool scanSystemFiles = true;
    bool autoUpdateDb = true;
    // Scheduler tab.
    std::vector<std::string> driveEntries;  // the drive list
    std::string driveText;                  // "" unless it is one of the entries
    SchedulerTiming timing = SchedulerTiming::None;
    std::string dayOfWeek = "Monday";       // "Sunday" .. "Saturday"
    std::string monthDays = "3";            // as typed
    bool tempFiles = true, tempFolders = true, dllFiles = false, scanDisk = false, defragment = false;
    bool changesAtStartup = false;
    bool oldDelete = false;
    std::string oldDeleteDays;              // as typed
    // Setup Detection tab.
    bool setupDetect = true;
    std::vector<IgnoredProgram> programs;
};

inline constexpr std::string_view kDaysOfWeek[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                    "Thursday", "Friday", "Saturday"};

// Reads every setting the dialog shows, in the order Korvex always reads them.
// Folders to ignore that are not existing folders are left out.
OptionsState LoadOptions(Services& services, RegistryAccess& registry);

// Writes every setting of the dialog, then writes or deletes the scheduler's start
// entry. The Scanning and Scheduler keys are only opened (their writes are lost when
// they are missing); General is created when it is missing. Failures are silent.
void SaveOptions(Services& services, RegistryAccess& registry, const OptionsState& options);

// The row "Add to list..." makes of a picked folder: "\" appended when missing;
// nothing for a cancelled pick, a drive root or a folder listed with exactly the same
// text (letter case counts).
std::optional<std::string> FolderToAdd(std::string_view picked, const std::vector<std::string>& listed);

}  // namespace korvex
