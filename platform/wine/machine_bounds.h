// Where a Wine prefix's machine ends on the host: the prefix folder, the folders of its
// fixed disks (a D: mapped to a games folder belongs to it; a drive whose folder is
// "/" or holds the prefix, like Wine's Z:, is the host's file system), and the inside
// of the shell folders Wine links into $HOME (Desktop, Documents...: the linked folder
// itself is not removable, its contents are; a link to $HOME itself gives nothing).
// Responsible for the host-level refusals of the removal layer; the Windows-level
// ones are RemovalGuard's.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/wine/wine_files.h"

namespace korvex::wine {

class MachineBounds {
public:
    MachineBounds(std::string prefixDir, WineFiles& files, System& system);

    // Reads the drives and the linked shell folders again.
    void refresh();

    // Why the host item name in the real folder realParent may not be removed or moved
    // away ("" when it may). lexical is the item's host path before links were resolved.
    std::string check(const std::string& realParent, const std::string& name, const std::string& lexical) const;

    // Whether a real host path lies in the machine (for Recycle Bin entries).
    bool contains(const std::string& realPath) const;

    // The real folders of the machine's disks and linked folders (where trash may be).
    std::vector<std::string> volumes() const;
    const std::string& realPrefix() const { return realPrefix_; }

private:
    std::string prefix_;
    WineFiles& files_;
    System& system_;
    std::string realPrefix_;
    std::vector<std::string> roots_;        // prefix and fixed disks: inside and the folder itself
    std::vector<std::string> driveRoots_;   // real folders of every drive
    std::vector<std::string> linkedFolders_;  // only the inside belongs to the machine
};

// Whether path equals root or lies inside it (host paths, no trailing "/").
bool HostUnder(const std::string& path, const std::string& root);
// The real path of a host path (every link resolved), "" when it does not exist.
std::string RealHostPath(const std::string& path);

}  // namespace korvex::wine
