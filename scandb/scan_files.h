// Names and places of the scan database: the per-drive file lists, the two registry
// key lists and the four system-file copies in the data folder, and the work files
// that Update database writes in the Windows drive root before moving them there.
// Every reader and writer of these files takes the names from here.
#pragma once

#include <string>
#include <string_view>

#include "platform/filesystem.h"

namespace korvex::scandb {

// Scan database files, in the data folder.
inline constexpr std::string_view kDriveListSuffix = "dbase.kvd";  // after the drive letter
inline constexpr std::string_view kUserKeyList = "hkcuReg.kvd";
inline constexpr std::string_view kMachineKeyList = "hklmReg.kvd";
inline constexpr std::string_view kAutoexecCopy = "Autoexec.kvd";
inline constexpr std::string_view kConfigSysCopy = "configSys.kvd";
inline constexpr std::string_view kWinIniCopy = "winIni.kvd";
inline constexpr std::string_view kSystemIniCopy = "systemIni.kvd";

// Work files of Update database, in the Windows drive root.
inline constexpr std::string_view kDriveWorkFile = "dbstemp.kvd";
inline constexpr std::string_view kUserKeyWorkFile = "RegTemp.kvd";
inline constexpr std::string_view kMachineKeyWorkFile = "RegTemp2.kvd";

// The machine-wide key left out of the HKEY_LOCAL_MACHINE key list (file types are
// registered there by every installer and would swamp the comparison).
inline constexpr std::string_view kMachineExcludedKey = "SOFTWARE\\Classes";

// "Cdbase.kvd" for 'C' or 'c': the file list of that drive (letter in upper case).
std::string DriveListName(char letter);

// Gives a scan database file exactly the hidden attribute. A file system that cannot
// hold the attribute leaves the file visible; nothing else depends on it.
void HideScanFile(FileSystem& files, std::string_view path);

}  // namespace korvex::scandb
