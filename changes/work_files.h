// Names of the files a find-changes run reads and writes. Work files live in the
// Windows drive root; the scan database in the data folder. The file system ignores
// the case of names, so each is spelt once here.
#pragma once

#include <string>
#include <string_view>

namespace korvex::work {

// Windows drive root.
inline constexpr std::string_view kCurrentList = "current.kvd";
inline constexpr std::string_view kJoinedDatabase = "dbase.kvd";
inline constexpr std::string_view kHkcuDump = "hkcutmp.kvd";
inline constexpr std::string_view kHklmDump = "hklmtmp.kvd";
// The walk of the drive with this index (0current.kvd, 1current.kvd, ...).
inline std::string NumberedList(int index) { return std::to_string(index) + "current.kvd"; }

// Data folder: the scan database.
inline std::string DriveDatabase(char letter) { return std::string(1, letter) + "dbase.kvd"; }
inline constexpr std::string_view kHkcuSaved = "hkcuReg.kvd";
inline constexpr std::string_view kHklmSaved = "hklmReg.kvd";
inline constexpr std::string_view kWinIniSaved = "winIni.kvd";
inline constexpr std::string_view kSystemIniSaved = "systemIni.kvd";
inline constexpr std::string_view kConfigSysSaved = "configSys.kvd";
inline constexpr std::string_view kAutoexecSaved = "Autoexec.kvd";

}  // namespace korvex::work
