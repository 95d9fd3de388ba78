// The files of a Wine prefix under Windows paths: drive letters from the prefix's
// dosdevices/ links, every name matched without regard to case as Wine matches it,
// DOS attributes kept where Wine keeps them, and the profile folders Wine links out of
// the prefix shown as the folders Windows programs see. Responsible for mapping and
// for the file operations themselves; not for deciding what may be deleted (that is
// the removal logic's job) and not for the registry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"
#include "platform/wine/atomic_file.h"
#include "platform/wine/open_files.h"

namespace korvex::wine {

struct Drive {
    char letter = 'C';      // upper case
    std::string root;       // host folder, lexically normal, no trailing "/" (except "/")
    std::string realRoot;   // the same with every link resolved ("" when it does not exist)
};

class WineFiles : public FileSystem {
public:
    explicit WineFiles(std::string prefixDir);

    // Re-reads dosdevices/ (drives can be added by winecfg while Korvex runs).
    void reloadDrives();
    const std::vector<Drive>& drives() const { return drives_; }
    const Drive* drive(char letter) const;

    // Host path of a Windows path, each existing component in its real case; components
    // that do not exist are kept as written. "" when the path names no drive.
    std::string hostPath(std::string_view windowsPath) const;
    // The Windows path of a host path on one of the drives (the longest matching root;
    // Z: only when no other drive holds it); "" when none holds it or a name on the way
    // cannot be written in a Windows path.
    std::string windowsPath(std::string_view hostPath) const;
    // The Windows path in the real case of every component; "" when it does not exist.
    std::string longPathName(std::string_view windowsPath) const;

    // Linked shell folders: the profile folders (Desktop, Documents, Downloads, Music,
    // Pictures, Videos, Templates) that Wine makes symbolic links to the user's XDG
    // folders. listFolder reports these links as folders and lists them like folders of
    // the drive, each host folder once, whatever links to it; every other link stays a
    // file, and so does a link to $HOME itself, to a folder above it or to one holding
    // the prefix. The set is taken afresh whenever a drive's root is listed, so once per
    // drive walk; the source gives the Windows paths the machine's shell-folder settings
    // name (the profiles' own links under C:\users are always looked at). The removal
    // layer's bounds (machine_bounds.h) take the same set.
    using ShellFolderSource = std::function<std::vector<std::string>()>;
    void setShellFolderSource(ShellFolderSource source);
    void reloadLinkedFolders();
    // The Windows paths of the links listed as folders, in the order they were chosen.
    std::vector<std::string> linkedFolders() const;
    // True for the path of one of those links itself (not for what is inside it).
    bool isLinkedFolder(std::string_view windowsPath) const override;

    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override;
    FileInfo info(std::string_view path) override;
    bool readFile(std::string_view path, std::string& contents) override;
    std::unique_ptr<OutputFile> createFile(std::string_view path) override;
    bool replaceFile(std::string_view path, std::string_view contents) override;
    bool moveFile(std::string_view from, std::string_view to) override;
    bool copyFile(std::string_view from, std::string_view to) override;
    bool deleteFile(std::string_view path) override;
    bool createFolder(std::string_view path) override;
    bool setAttributes(std::string_view path, std::uint32_t attributes) override;
    bool setExecutable(std::string_view path) override;
    // Another process holds the file open (or mapped, for Wine processes); the answer
    // may be up to kOpenFilesMaxAge old (see open_files.h).
    bool isFileInUse(std::string_view path) override;
    std::string lastError() override { return lastError_; }

private:
    struct Resolved {
        std::string host;     // "" when no drive
        bool exists = false;  // every component was found
        std::vector<std::string> names;    // the components as found (real case) or as written
        std::vector<std::string> written;  // the components as the caller wrote them
        char letter = 0;
    };
    Resolved resolve(std::string_view windowsPath) const;

    // A host folder told apart from every other: device and inode.
    struct HostId {
        std::uint64_t device = 0, inode = 0;
        bool operator==(const HostId&) const = default;
    };
    struct LinkedFolder {
        char letter = 0;
        std::vector<std::string> names;  // the link's path below the drive root, real case
        HostId target;
    };
    void addLinkedFolder(std::string_view windowsPath, const std::string& home, const std::string& realPrefix);
    // The linked folder that a listed folder is, or lies in; nullptr for most folders.
    const LinkedFolder* linkedFolderOf(const Resolved& folder) const;
    // Whether name, listed in folder, is one of the links to enter.
    bool isLinkedEntry(const Resolved& folder, std::string_view name) const;
    bool isBarrier(const HostId& id) const;
    // Records errno's text (or a reason of Korvex's own) for lastError(); returns false.
    bool failed(int error);
    bool failed(std::string reason);

    std::string prefix_;
    std::string lastError_;
    std::vector<Drive> drives_;
    std::vector<LinkedFolder> linked_;
    // Folders a walk inside a linked folder never enters: the prefix, each drive's root
    // and every linked folder's target (each is walked where it belongs).
    std::vector<HostId> barriers_;
    ShellFolderSource shellFolderSource_;
    OpenFileTable openFiles_;
};

// Host-level helpers the rest of the backend shares.
// True for host folders that are pseudo file systems (/proc, /sys, /dev and the like).
bool IsPseudoFileSystemPath(const std::string& hostPath);
// Renames a host file over another; across file systems copies it with
// CopyHostFileAtomically (atomic_file.h), then removes the source.
bool MoveHostFile(const std::string& from, const std::string& to);

}  // namespace korvex::wine
