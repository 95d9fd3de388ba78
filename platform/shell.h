// The shell's file operations: the one removal layer every delete and move of Korvex
// goes through (found changes, uninstalling, clean-up), the machine's Recycle Bin and
// deletion at the next start of the machine. Implementations confirm, show progress
// and report errors through the Prompt they are handed, and refuse whatever would take
// away the machine's own structure or anything outside the machine (see RemovalGuard):
// a refused item stays where it is, counts as not done, and is recorded for the caller
// to show once per operation. Not responsible for the registry or for deciding which
// items a caller wants removed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompt.h"

namespace korvex {

// wFunc values of the shell's file operation.
inline constexpr unsigned FO_MOVE = 1;
inline constexpr unsigned FO_DELETE = 3;

// fFlags bits.
inline constexpr std::uint16_t FOF_MULTIDESTFILES = 0x1;
inline constexpr std::uint16_t FOF_NOCONFIRMATION = 0x10;
inline constexpr std::uint16_t FOF_ALLOWUNDO = 0x40;
inline constexpr std::uint16_t FOF_NOERRORUI = 0x400;

// The shell's file operation record. from holds the Windows paths of the removal list
// (no NULs: one element a path; an empty element is skipped); to is the destination
// folder of FO_MOVE.
struct FileOperation {
    unsigned wFunc = FO_DELETE;
    std::vector<std::string> from;
    std::string to;
    std::uint16_t fFlags = 0;
    bool fAnyOperationsAborted = false;  // set when the user answered No or Cancel
};

// One item the removal layer would not touch, and why, in words for the user.
struct Refusal {
    std::string path;
    std::string reason;
};

// What the Recycle Bin holds of this machine's items.
struct RecycleBinContents {
    std::uint64_t items = 0;
    std::uint64_t bytes = 0;
};

class Shell {
public:
    virtual ~Shell() = default;

    // SHFileOperation: FO_DELETE sends from's items to the Recycle Bin (FOF_ALLOWUNDO;
    // an item that cannot be trashed fails, it is never deleted instead) or deletes them
    // for good; FO_MOVE moves every item into the folder to (made when missing). Asks
    // the shell's confirmation unless FOF_NOCONFIRMATION, shows the shell's errors
    // unless FOF_NOERRORUI. Returns 0 when every item was done, else a non-zero code
    // (also when the user aborted: then fAnyOperationsAborted is set).
    virtual int fileOperation(FileOperation& op, Prompt& prompt) = 0;

    // MoveFileEx(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT): the machine deletes the
    // file at its next start. False when it cannot be scheduled (or is refused).
    virtual bool deleteAtRestart(std::string_view path) = 0;

    // Delete mode "Zip files to default folder": packs the items into the zip archive
    // (a Windows path), reads it back to verify, then deletes the items for good. When
    // packing or verifying fails nothing is deleted and the result is false.
    virtual bool packAndDelete(const std::vector<std::string>& paths, std::string_view archive,
                               Prompt& prompt) = 0;

    // The Recycle Bin entries whose original location lies in this machine.
    virtual RecycleBinContents recycleBinContents() = 0;
    // Empties exactly those entries (never anyone else's); false when some remained.
    virtual bool emptyRecycleBin() = 0;

    // Folders Korvex itself must never lose, beyond the machine's own structure (the
    // data folder): the folder itself is refused, its contents are not.
    virtual void protectFolder(std::string_view windowsPath) = 0;
    // The items refused since the last call, in the order they were met.
    virtual std::vector<Refusal> takeRefusals() = 0;
    // Why a delete or move of path would be refused ("" when it would not), by the same
    // checks fileOperation makes; nothing is touched or recorded (for dry runs).
    virtual std::string refusalFor(std::string_view path) = 0;
};

}  // namespace korvex
