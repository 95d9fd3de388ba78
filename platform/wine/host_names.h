// Host file names as the Windows side sees them: which names a Windows path can carry,
// and name comparison without regard to case the way Wine matches a Windows name to a
// host name (Unicode letters fold too, not only ASCII). Pure text rules, no file access.
#pragma once

#include <string>
#include <string_view>

namespace korvex::wine {

// False for names no Windows path can carry: not valid UTF-8, control characters
// (line breaks included), character 127, and \ < > : " / | ? *. Also false for "",
// "." and "..". Such host entries are left out of every listing.
bool IsWindowsName(std::string_view name);

// Case folding of a UTF-8 name for comparison (ASCII, Latin-1, Latin Extended-A, Greek
// and Cyrillic letters). Invalid UTF-8 folds byte for byte.
std::string FoldName(std::string_view name);

// The user name Wine gives the Windows side (C:\users\<name>): $USER when set, else
// the account's name, else "user"; names no Windows path can carry give "user".
std::string WineUserName();

}  // namespace korvex::wine
