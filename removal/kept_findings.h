// What a find-changes run found is never lost: every run that finds something is kept
// as a saved uninstall data file in the data folder's "Found changes" folder, one
// dated file per run, the newest twenty kept, so that it can be reviewed and
// uninstalled later even when the window was closed without saving or a save failed.
// Responsible for the folder, the names and dropping old copies; the file's text is
// the saved file's (saved_file.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/services.h"
#include "removal/found_lists.h"

namespace korvex {

inline constexpr std::string_view kFoundChangesFolder = "Found changes";
inline constexpr std::size_t kKeptRuns = 20;

// The kept copy's name for a run at unixSeconds: "2026-12-06 14.05.09.kvu", local time.
std::string KeptFileName(std::int64_t unixSeconds);

// Writes every row of lists (the disabled-scan rows aside) as a new dated file in
// dataFolder's "Found changes" folder and drops the oldest dated files beyond twenty.
// Gives the file's path; "" when the lists hold nothing or it could not be written.
std::string KeepFoundChanges(Services& services, const std::string& dataFolder, const FoundLists& lists);

}  // namespace korvex
