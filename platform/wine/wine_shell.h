// The shell's file operations on a Wine prefix: the freedesktop.org Trash as the
// machine's Recycle Bin, race-free deleting and moving on the host's disks, packing
// into a zip archive before deleting, and deletion at the machine's next start through
// its pending-rename list. Every item passes RemovalGuard (by Windows path) and
// MachineBounds (by host path) first; a refused item stays where it is and is recorded.
// Not responsible for the registry's keys or for choosing what to remove.
#pragma once

#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/registry.h"
#include "platform/removal_guard.h"
#include "platform/shell.h"
#include "platform/wine/host_tree.h"
#include "platform/wine/machine_bounds.h"
#include "platform/wine/trash.h"

namespace korvex::wine {

class WineFiles;
class WineSystem;

class WineShell : public Shell {
public:
    WineShell(std::string prefixDir, WineFiles& files, WineSystem& system, Registry& registry);

    int fileOperation(FileOperation& op, Prompt& prompt) override;
    bool deleteAtRestart(std::string_view path) override;
    bool packAndDelete(const std::vector<std::string>& paths, std::string_view archive, Prompt& prompt) override;
    RecycleBinContents recycleBinContents() override;
    bool emptyRecycleBin() override;
    void protectFolder(std::string_view windowsPath) override;
    std::vector<Refusal> takeRefusals() override;

    // One item of an operation, found on the host.
    struct Item {
        std::string windows;     // as the caller wrote it
        std::string lexical;     // host path before links were resolved
        std::string realParent;  // real folder that holds it
        std::string name;
        Fd parent;               // that folder, opened without passing a link
        struct stat st {};
        std::string real() const { return realParent == "/" ? "/" + name : realParent + "/" + name; }
    };
    enum class Found { Yes, Refused, Missing };
    // Finds an item, applying every refusal (recorded). Missing when it does not exist.
    Found locate(std::string_view windowsPath, Item& item);

private:
    struct Run;
    bool confirm(const FileOperation& op, const std::vector<std::string>& items, Prompt& prompt);
    bool deleteOne(Item& item, bool toTrash, Run& run);
    bool moveOne(Item& item, int destination, const std::string& destinationWindows,
                 const std::string& realDestination, Run& run);
    void fail(Run& run, const std::string& path, const std::string& why);
    void refuse(std::string_view path, std::string why);
    std::vector<TrashEntry> machineTrash();

    std::string prefix_;
    WineFiles& files_;
    WineSystem& system_;
    Registry& registry_;
    RemovalGuard guard_;
    MachineBounds bounds_;
    std::vector<Refusal> refusals_;
};

// Makes a host folder and its missing parents (mode 0777 less the umask).
bool MakeHostFolders(const std::string& path);

}  // namespace korvex::wine
