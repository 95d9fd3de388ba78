// The part of start-up that both programs share (the windowed korvex and korvex-cli):
// making sure the program's folder and its support files exist, settling the data
// folder from "DefaultPath", and writing the first-run defaults on a first start.
// The drive list, the command line and the windows are the caller's business.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex {

// True when path names an existing folder ("C:\x" and "C:\x\" alike).
bool FolderExists(FileSystem& files, std::string_view path);

// Opens the General settings; when they are missing, creates them and writes every
// first-run default. A "DefaultPath" that is empty or names no existing folder is
// replaced by the program's folder, stored, and used. The shell is told to keep the
// data folder itself. Returns the data folder with a trailing "\".
std::string SettleDataFolder(Services& services, RegistryAccess& access);

}  // namespace korvex
