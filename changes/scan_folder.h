// The walker of a find-changes run: writes one folder tree into the current list in
// the scan-database line format (header "path\{", bare file names, "}", sub folders
// depth first in the order the file system lists them). Unlike the walker of Update
// database it leaves out the folders of the ignore list and Korvex's own ".kvd" and
// ".kvu" files, and counts folders for the progress bar. It does not decide what is
// walked (the driver does) and holds only the pending sub folder names in memory.
#pragma once

#include <string>
#include <string_view>

#include "changes/run_hooks.h"
#include "platform/filesystem.h"
#include "platform/system.h"

namespace korvex {

// The ignore list of a run whose first selected drive has the root firstRoot ("E:\"):
// the Windows folder's "History\", that root's "Recycled\" and "Recycler\", the same
// two for D: to H:, then foldersToIgnore as stored. Each entry ends with "\" and 127.
std::string BuildIgnoreList(System& system, const std::string& firstRoot, std::string_view foldersToIgnore);

// True when the folder path + name (no trailing "\") is to be left out: its first
// occurrence in the ignore list, without regard to case, is followed by "\" and
// character 127. Later occurrences are not looked at.
bool IsIgnoredFolder(std::string_view ignoreList, std::string_view fullPath);

// True for a file name the walk leaves out: it contains ".kvd" in any case, or
// ".kvu" exactly.
bool IsKorvexFile(std::string_view name);

// subScanFolder: walks path (ends with "\") into out. counter is the window's folder
// counter; it grows by one per folder kept, and reaching exactly 300 and 600 sets the
// progress position to 2 and 4. Yields once per folder; once the stop flag is seen
// nothing more is written. Returns the counter.
double ScanFolder(FileSystem& files, const std::string& path, OutputFile& out,
                  std::string_view ignoreList, double& counter, const RunHooks& hooks);

}  // namespace korvex
