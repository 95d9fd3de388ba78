// The drive list that every drive box of Korvex shows, the drives an entry stands
// for, and the main window's last-scan text of a drive. Responsible for the entries'
// exact texts; selecting and storing entries is the windows' business.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace korvex {

// One entry per fixed disk from A: to Z: ("(C:) LABEL", the label cut to 11
// characters), then "Local hard drives (C:,D:)" covering them all.
std::vector<std::string> FillDriveList(System& system);

// The drive names of an entry: what lies between its first "(" and its first ")",
// "C:" or "C:,D:,E:".
std::string CurrentDrives(std::string_view entry);

// The drive letters of a CurrentDrives text ("C:" or "C:,D:,E:"), front to back:
// each entry takes three characters, a text of exactly two holds the last one.
std::vector<char> DriveLetters(std::string_view drives);

// "This drive was last scanned on " + the date and time of the drive's file list in
// the data folder, or "This drive has not been scanned."; the first drive of
// currentDrives speaks for them all.
std::string LastScanText(Services& services, std::string_view dataFolder, std::string_view currentDrives);

}  // namespace korvex
