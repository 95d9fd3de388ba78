// Deleting and moving the rows of the clean-up window: the questions asked before,
// the file and index lists handed on, and which rows leave the list afterwards.
// The files themselves are removed or moved only by the removal layer, reached
// through the two calls the caller hands in. Not responsible for the rows' display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"
#include "platform/prompt.h"

namespace korvex::cleanup {

// Which scan filled the list.
enum class ResultsKind { Junk, Duplicates, UnusedDlls };
// How Delete removes: as the delete mode says, or for good (Shift held on the button).
enum class DeleteHow { DeleteMode, Permanent };

// The removal layer's two calls, given the file list (full paths, the row met last
// first). removeFiles gets the removal flags (0: the layer's defaults).
struct CleanUpRemoval {
    std::function<bool(const std::vector<std::string>& paths, std::uint16_t flags, DeleteHow how)> removeFiles;
    std::function<void(const std::vector<std::string>& paths, std::string_view destination, std::uint16_t flags)>
        moveFiles;
};

// The rows of the result list: each row's full path (folder + name) and whether it is
// selected.
struct ResultRows {
    std::vector<std::string> paths;
    std::vector<bool> selected;
};

inline constexpr std::string_view kDuplicateWarning =
    "Make sure that you keep at least one copy of the duplicate files to be deleted on your hard drive. "
    "It is also advisable not to delete any duplicate system files.\r\n\r\n"
    "If you are not sure, do not delete duplicate files, as this may cause your system to stop working. For "
    "precaution, we recommend that you use the Move button to move the duplicate files for backup on a different "
    "drive or folder instead of deleting them.\r\n\r\n"
    "Repeat, incorrect deletion of duplicate files can cause your system to stop working. For more information as "
    "to which duplicate files are safe to delete, read the Korvex! Help file.\r\n\r\n"
    "Click on OK to continue deletion, click on Cancel to abort deletion.";
inline constexpr std::string_view kDllAdvice =
    "It is not advisable to delete DLL files as some of your applications may stop working.\r\n"
    "It is recommended that you move the files to a different folder instead of deleting them.\r\n\r\n"
    "Click on OK to move the selected files to a different folder.";

// The Delete button: asks what the kind of results calls for, hands the selected
// files to the removal layer (unused DLLs are only ever moved), and gives the rows to
// take out, highest index first: those whose file or folder is gone.
std::vector<std::size_t> DeleteResults(FileSystem& files, Prompt& prompt, const ResultRows& rows, ResultsKind kind,
                                       DeleteHow how, const CleanUpRemoval& removal);

// The Move button: asks for a folder and moves the selected files there; gives every
// selected row, highest index first, whether or not its file could be moved.
std::vector<std::size_t> MoveResults(Prompt& prompt, const ResultRows& rows, const CleanUpRemoval& removal);

}  // namespace korvex::cleanup
