// Korvex's removal primitives: deleting a list of paths the way the user's delete mode
// says (Recycle Bin, from the disk, into the data folder, or into a zip archive in
// the data folder), retrying what the shell could not delete and scheduling what is
// in use for the machine's next start; clearing a folder that could not go whole;
// moving paths into a folder; taking an added line out of a system text file. All
// file work goes through the Shell (which refuses what must never go) and the
// FileSystem; nothing here touches the host directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "removal/removal_context.h"

namespace korvex {

// The setting "DeleteMode" of the General key.
enum class DeleteMode { RecycleBin = 0, DeleteFromDisk = 1, MoveToDataFolder = 2, ZipToDataFolder = 3 };

// How one call of RemoveFiles treats the delete mode: Permanent deletes from the disk
// whatever the mode says; Quiet is Normal without the restart message.
enum class RemovalMode { Normal, Permanent, Quiet };

// Reads "DeleteMode" afresh; a missing key or value, or text that is no number, reads
// as the Recycle Bin, and so does any number beyond the four modes. generalOpened
// tells whether the General key could be opened.
DeleteMode ReadDeleteMode(RegistryAccess& registry, bool* generalOpened = nullptr);

// What RemoveFiles did beyond its result, for callers that report on their own.
struct RemoveReport {
    std::vector<std::string> scheduled;  // files and folder entries left for the next start
    Refusals refusals;                   // what the shell would not touch: never retried
    bool archived = false;               // packed into a zip archive in the data folder
    std::string archive;                 // its path
};

inline constexpr std::string_view kRestartMessage =
    "Some files could not be removed because they may be in use. These files will be deleted when you "
    "restart your computer.";

// Removes the paths (empty elements are skipped). flags 0 means the defaults of the
// delete mode. True when everything went, or the user called the shell's operation
// off; false when something remained.
bool RemoveFiles(RemovalContext& c, const std::vector<std::string>& list, std::uint16_t flags, RemovalMode mode,
                 RemoveReport* report = nullptr);

// Deletes folder's entries one by one with the record's operation, scheduling for the
// next start each file that still will not go, then does the same inside each sub
// folder that stayed. The folder itself stays. folder ends in "\".
void RemoveFolderContents(RemovalContext& c, const std::string& folder, const FileOperation& record,
                          RemoveReport* report = nullptr);

// Moves every path into destination. Nothing happens when the first path is in use.
// flags 0 means FOF_MULTIDESTFILES.
void MoveFiles(RemovalContext& c, const std::vector<std::string>& list, std::string_view destination,
               std::uint16_t flags);

// Takes every line equal to added (letter case counts) out of the text file at path
// and writes replaced in its place, unless replaced is " ". The file is replaced
// atomically and marked hidden and system afterwards; a file without such a line, or
// one that cannot be read, stays exactly as it was.
void RemoveLine(RemovalContext& c, std::string_view path, std::string_view added, std::string_view replaced);

}  // namespace korvex
