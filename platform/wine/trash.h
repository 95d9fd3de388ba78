// The freedesktop.org Trash, which is the machine's Recycle Bin under Wine: the home
// trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) for items on its file
// system, otherwise the trash at the top of the item's volume ($topdir/.Trash/$uid
// when $topdir/.Trash is a sticky folder and not a link, else $topdir/.Trash-$uid).
// An item goes in by writing its .trashinfo first (created exclusively, so two
// programs never take one name) and then renaming it into files/: never a copy, so an
// item that cannot be renamed into a trash stays where it is. Not responsible for
// which items may go (the removal layer checks that first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

namespace korvex::wine {

struct TrashEntry {
    std::string trash;     // the trash folder (holding files/ and info/)
    std::string name;      // the entry's name in files/ (info/<name>.trashinfo)
    std::string original;  // where it came from: an absolute host path
    std::string deleted;   // DeletionDate as written
};

class Trash {
public:
    // The home trash folder; "" when neither XDG_DATA_HOME nor HOME is set.
    static std::string HomeFolder();

    // Sends name (in the open folder parent, real path realPath, on device) to the
    // trash of its file system. "" on success, else why not, in words for the user.
    static std::string Send(int parent, const std::string& name, const std::string& realPath, dev_t device);

    // The trash folders of this user that may hold items from the given volumes (real
    // folders): the home trash and each volume's top trash folders that exist.
    static std::vector<std::string> Folders(const std::vector<std::string>& volumes);
    // The entries of one trash folder (entries without a readable .trashinfo are left out).
    static std::vector<TrashEntry> List(const std::string& trash);
    // Deletes one entry for good: its files/ item first, then its .trashinfo.
    static bool Erase(const TrashEntry& entry);

    // The .trashinfo text of an item; Path is URL-encoded.
    static std::string InfoText(const std::string& originalPath, std::int64_t unixSeconds);
    static std::string EncodePath(const std::string& path);
    static std::string DecodePath(const std::string& text);
};

}  // namespace korvex::wine
