// Names of the work files a find-changes run writes in the Windows drive root. The
// scan database it reads and updates in the data folder is named in scandb/scan_files.h.
// The file system ignores the case of names, so each is spelt once.
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

}  // namespace korvex::work
