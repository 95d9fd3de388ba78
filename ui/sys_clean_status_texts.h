// The status-bar help texts of the System clean-up window, by control. The junk-file
// boxes take theirs from the categories' table (cleanup/clean_settings.h).
#pragma once

#include <string_view>

namespace korvex {

struct SysCleanStatusText {
    std::string_view control;
    std::string_view text;
};

inline constexpr SysCleanStatusText kSysCleanStatusTexts[] = {
    {"cmdScan", "Start scanning"},
    {"cmdSelectAll", "Select all the scanned files"},
    {"cmdHelp", "Launch the Korvex! Help file"},
    {"cmdAddFiles", "Add your own file types to scan for"},
    {"cmdDelete", "Delete all the selected files"},
    {"cmdRemoveFiles", "Remove the selected file types from the 'Also scan for these files' list"},
    {"lvwAlsoFindFiles", "Add your own file types to scan for"},
    {"chkTempFolder", "Files created for temporary use are stored here. You can safely delete all these files"},
    {"chkInternetCache", "Contains temporary files created by Microsoft Internet Explorer and Netscape Navigator"},
    {"chkRecycleBin", "Permanently delete files in your Recycle Bin"},
    {"lvwAlsoFindFolders", "Add your own folders to scan for"},
    {"cmdAddFolders", "Add your own folders to scan for"},
    {"cmdRemoveFolders", "Remove the selected folders from the 'Also scan for these folders' list"},
    {"chkSkipZeroLength", "Skips duplicate zero length MSCREATE.DIR files"},
    {"chkSkipSysbckup", "Skips scanning the windows\\Sysbckup folder"},
    {"chkSameSize", "Finds duplicate files of the same size"},
    {"chkSameDateTime", "Finds duplicate files created on the samed date and time"},
};

// Over these the panel shows the idle status text (besides the window's background).
inline constexpr std::string_view kSysCleanIdleAreas[] = {"fraTempFile", "fraTempFolders", "fraDuplicateFiles"};

}  // namespace korvex
