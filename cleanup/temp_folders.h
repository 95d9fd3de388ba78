// The folder scan of the clean-up window: every file of the temporary folder, of the
// browser caches inside the machine's user profile and of the user's own folders, and
// emptying this machine's part of the Recycle Bin. Not responsible for the walk
// itself (junk_scan.h) nor for what the user then does with the rows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cleanup/junk_scan.h"

namespace korvex::cleanup {

// The cache folders of the old browser's profiles ("cache" in each profile folder
// under Program Files, Netscape, Users), each followed by character 127; "" without.
std::string NetscapeCacheFolders(FileSystem& files, System& system, Prompt& prompt);

// The browsers people install in a machine, where their caches live: a path below the
// profile's local application data folder, where "*" stands for every sub folder
// (each browser profile).
struct BrowserCache {
    std::string_view browser;
    std::string_view folder;
};
extern const std::vector<BrowserCache> kBrowserCaches;

// The user's local application data folder ("C:\users\u\AppData\Local\"), derived
// from the application data folder; "" when the machine names neither.
std::string LocalAppDataFolder(System& system);
// The existing cache folders of kBrowserCaches, each ending in "\", in table order.
std::vector<std::string> BrowserCacheFolders(FileSystem& files, System& system);

// The Recycle Bin step: when the bin holds items of this machine, asks whether to
// delete them for good (saying how many and how much space) and empties exactly
// those on Yes. Returns false when the user said No or some items remained.
bool EmptyRecycleBinOfMachine(Shell& shell, Prompt& prompt, char decimalSeparator);

// The scan behind "Scan for temporary folders": the temporary folder (tempFolder,
// as the window shows it), the Internet cache, the other browsers' caches, the
// Recycle Bin, then the own folders, each source only when chosen.
void ScanTempFolders(Services& services, CleanUpScan& scan, const CleanUpChoices& choices,
                     std::string_view tempFolder);

}  // namespace korvex::cleanup
