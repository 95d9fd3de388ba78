// Well-known folders, sizes and small path helpers. Folder results end in "\" or are
// "" when the machine cannot name the folder: callers that delete or scan inside
// one must skip "".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "platform/services.h"

namespace korvex {

std::string GetFolderPath(System& system, int csidl);  // no trailing "\", or ""
std::string WindowsFolder(System& system);
std::string SystemFolder(System& system);
std::string ProgramFilesFolder(System& system);
std::string AppDataFolder(System& system);
std::string CookiesFolder(System& system);
std::string InternetCacheFolder(System& system);
std::string RecentFolder(System& system);
std::string FavoritesFolder(System& system);
std::string HistoryFolder(System& system);  // "" on the Windows 95 family
std::string WindowsDriveRoot(System& system);
std::string TempFolder(System& system);

// "0KB", "1KB", "1.5 KB", "5.2 GB"... with the locale's decimal separator read as the
// spelling of the number; see the table in the tests.
std::string FormatSize(double bytes, bool showDecimal, char decimalSeparator = '.');
bool IsFileInUse(FileSystem& files, std::string_view path);
// True when path names an existing file, not a folder.
bool IsExistingFile(FileSystem& files, std::string_view path);
// Total bytes of the files below folder; 0 on any failure. Never follows links.
double FolderSize(FileSystem& files, std::string_view folder);
std::string BrowseForFolder(Prompt& prompt, std::string_view title);
void OpenWithShell(System& system, std::string_view document);
// 1-based position of the last occurrence of part in text, without regard to case; 0 if none.
std::size_t LastIndexOf(std::string_view text, std::string_view part);

}  // namespace korvex
