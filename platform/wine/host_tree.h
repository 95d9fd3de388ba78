// Race-free work on host trees for the removal layer: opening a folder without passing
// through a link, deleting a tree depth-first inside one item, copying a tree for a
// move across file systems, and the files other processes hold open. Every walk works
// relative to open folder descriptors, never follows a symbolic link (a link is
// removed or copied as a link) and never crosses into another file system inside the
// item. Not responsible for deciding what may be removed (RemovalGuard, MachineBounds).
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace korvex::wine {

// An open descriptor that closes itself.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset();

private:
    int fd_ = -1;
};

// Opens an absolute folder one name at a time from "/", refusing any link on the way
// (O_PATH: usable for the *at calls). Invalid when a name is missing or a link.
Fd OpenFolderNoLinks(const std::string& absolutePath);

// Files other processes held open when take() ran: one snapshot per operation, so that
// an operation over thousands of items reads /proc once.
class HeldFiles {
public:
    void take();
    bool holds(dev_t device, ino_t inode) const { return held_.count({device, inode}) != 0; }
    // Whether a held file lies inside the folder (a real path).
    bool holdsUnder(const std::string& realFolder) const;

private:
    std::set<std::pair<dev_t, ino_t>> held_;
    std::vector<std::string> paths_;
};

// What a tree walk met besides success.
struct TreeResult {
    bool done = false;       // the item is gone (or copied completely)
    bool inUse = false;      // a file held by another process stopped it
    bool otherFileSystem = false;  // a mount point inside the item stopped it
    int error = 0;           // the first errno met
    std::uint64_t entries = 0;  // entries removed or copied
};

// Called after every removed or copied entry (for progress); cheap calls only.
using TreeTick = std::function<void(std::uint64_t entries)>;

// Deletes name in folder parent for good: a link or file is unlinked, a folder emptied
// depth-first and removed. Files held (when held is given) stay, and so do their folders.
TreeResult RemoveTreeAt(int parent, const char* name, const HeldFiles* held, const TreeTick& tick);

// Copies name in from into to as toName (which must not exist): files with their mode
// and times, links as links, folders with all they hold. Fails on anything else
// (devices, sockets) and on another file system inside the item; a partial copy stays
// for the caller to remove.
TreeResult CopyTreeAt(int from, const char* name, int to, const char* toName, const TreeTick& tick);

}  // namespace korvex::wine
