// The first start of Korvex on a machine: every setting's default, the scheduler's
// start entry and the ".kvu" file type. Responsible only for writing those defaults
// once when asked; deciding that it is a first start belongs to start-up.
#pragma once

#include <string>

#include "platform/prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex {

// The program's folder with exactly one "\" at its end (a program in a drive root
// already has one).
std::string ProgramFolderWithSlash(System& system);

// Cache folders of the other browser's user profiles: for every folder under
// ProgramFilesFolder + "Netscape\Users\", that folder + "\cache\" followed by
// character 127. "" when there is none. The overload with a prompt yields after
// every entry, for callers that run inside a window.
std::string NetscapeCacheFolders(Services& services);
std::string NetscapeCacheFolders(Services& services, Prompt& prompt);

// The default list of folders that Find changes and the junk-file scan never enter.
std::string DefaultFoldersToIgnore(Services& services);

// Writes every default setting, in the order Korvex always has. Failed writes are
// skipped silently: each reader treats a missing value as "".
void WriteFirstRunDefaults(Services& services, RegistryAccess& access);

}  // namespace korvex
