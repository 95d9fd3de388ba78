// The comparison of the four system text files with their copies in the scan
// database (second half of subFileFindChanges): which lines were added to autoexec.bat,
// win.ini, system.ini and config.sys, and for each added line the line of the copy it
// replaced. Lines match when equal without regard to case; blank lines are never
// sought and never taken as a landmark. Writes "SysChanges.kvd". Not responsible for
// taking the copies (Update database) or for putting lines back (removal).
#pragma once

#include <string>
#include <string_view>

#include "changes/run_hooks.h"
#include "platform/filesystem.h"
#include "platform/registry_access.h"
#include "platform/system.h"

namespace korvex {

// CompareTextFiles on the two texts: appends to added every line of live that is not
// in saved, and to replaced, in parallel, the saved line each one replaced (the
// removed line followed by the same next non-blank line) or " "; each element is
// followed by character 127.
void CompareTextFiles(std::string_view savedText, std::string_view liveText, std::string& added,
                      std::string& replaced);

// CompareTextFiles on files; both must exist (the caller checks).
void CompareTextFiles(FileSystem& files, const std::string& savedPath, const std::string& livePath,
                      std::string& added, std::string& replaced);

// The system-file step: creates root "SysChanges.kvd" (always, even empty), then for
// each of "AutoexecScan", "WinIniScan", "SystemIniScan", "ConfigSysScan" that is "1"
// writes a four-line section when both the copy and the live file exist, raising the
// progress by 1 per enabled file either way.
void CompareSystemFiles(FileSystem& files, System& system, RegistryAccess& registry,
                        const std::string& dataFolder, const std::string& root, const RunHooks& hooks);

}  // namespace korvex
