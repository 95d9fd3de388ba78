// The four change list files that carry a find-changes result (or a saved uninstall
// data file being reviewed) to the found-changes window, all in the Windows drive
// root: their names, their line formats, a writer for each and one reader that gives
// the parsed lists. Lines end with CR LF when written; readers end a line at CR or
// CR LF and treat a missing file as empty. Not responsible for deleting the files
// after reading (the found-changes window does that) or for what the lists mean.
//
// "changes.kvd"      sections in the order of the current list:
//                      new folder:   "!" + folder path ending "\" + "{"   then "}"
//                      added files:  folder path ending "\" + "{", one bare file name
//                                    per line, then "}"
// "SysChanges.kvd"   up to four sections of exactly four lines:
//                      "Autoexec.bat{" | "Win.ini{" | "System.ini{" | "Config.sys{"
//                      added lines, each followed by character 127
//                      replaced lines (parallel; " " when it replaced none), each + 127
//                      "}"
// "hkcuchanges.kvd", "hklmchanges.kvd"
//                    one key per line, relative to the hive root, no leading "\"
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"

namespace korvex {

// File names as Korvex writes them (the file system ignores their case).
inline constexpr std::string_view kChangesFile = "changes.kvd";
inline constexpr std::string_view kSysChangesFile = "SysChanges.kvd";
inline constexpr std::string_view kHkcuChangesFile = "hkcuchanges.kvd";
inline constexpr std::string_view kHklmChangesFile = "hklmchanges.kvd";

// Section headers of "SysChanges.kvd".
inline constexpr std::string_view kAutoexecHeader = "Autoexec.bat{";
inline constexpr std::string_view kWinIniHeader = "Win.ini{";
inline constexpr std::string_view kSystemIniHeader = "System.ini{";
inline constexpr std::string_view kConfigSysHeader = "Config.sys{";

inline constexpr std::string_view kLineEnd = "\r\n";

// One section of "changes.kvd".
struct FolderChange {
    bool newFolder = false;          // a "!" section: the folder and all under it are new
    std::string folder;              // full path ending with "\" (no "!", no "{")
    std::vector<std::string> files;  // bare names of added files; empty for a new folder
};

// One section of "SysChanges.kvd".
struct SystemFileChange {
    std::string header;                 // one of the four headers above, as read
    std::vector<std::string> added;     // lines added to the live file, in its order
    std::vector<std::string> replaced;  // parallel to added: the replaced line, or " "
};

struct ChangeLists {
    std::vector<FolderChange> folders;         // in file order
    std::vector<SystemFileChange> systemFiles; // in file order
    std::vector<std::string> hkcuKeys;         // in file order
    std::vector<std::string> hklmKeys;
    bool hkcuFileExists = false;   // the window shows "Scanning not enabled." without it
};

// Texts of whole files, exactly as written (CR LF after every line).
std::string FormatChangesFile(const std::vector<FolderChange>& folders);
std::string FormatSystemFileSection(const SystemFileChange& section);
std::string FormatKeysFile(const std::vector<std::string>& keys);

// The line of "changes.kvd" and "SysChanges.kvd" pieces, for writers that stream.
std::string NewFolderLine(std::string_view folderHeader);  // "!" + header ("...\{")
// Elements each followed by character 127; "" for none.
std::string JoinList(const std::vector<std::string>& elements);
// The elements of a list line of "SysChanges.kvd": each ends at a character 127; text
// after the last one is not an element (the window's reader stops there too).
std::vector<std::string> ListElements(std::string_view list);

// Parsers of file texts; lines are split with SplitLines (platform/text.h).
std::vector<FolderChange> ParseChangesFile(std::string_view text);
std::vector<SystemFileChange> ParseSysChangesFile(std::string_view text);
std::vector<std::string> ParseKeysFile(std::string_view text);

// Writes the four files into root (the Windows drive root, ends in "\"), each created
// anew. Used when a saved uninstall data file is turned back into change lists.
// Returns false when a file could not be written completely.
bool WriteChangeLists(FileSystem& files, const std::string& root, const ChangeLists& lists);

// Reads whichever of the four files exist in root; missing files give empty lists.
// Does not delete them.
ChangeLists ReadChangeLists(FileSystem& files, const std::string& root);

}  // namespace korvex
