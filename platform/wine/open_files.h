// Which files other processes hold open or mapped, from /proc. Building the table
// costs a look at every descriptor of every process (tens of milliseconds), so one
// table answers every question asked within a short time (kOpenFilesMaxAge): a scan
// that tests thousands of files pays for it a few times, not thousands of times. A
// file opened less than that long ago may therefore not be seen yet.
#pragma once

#include <chrono>
#include <set>
#include <utility>

#include <sys/types.h>

namespace korvex::wine {

inline constexpr std::chrono::milliseconds kOpenFilesMaxAge{200};

class OpenFileTable {
public:
    // True when a process other than this one has the file (device, inode) open, or
    // mapped while it runs Wine (Wine maps the DLLs it loads and may close them).
    bool heldByOthers(dev_t device, ino_t inode);

private:
    void rebuild();
    std::set<std::pair<dev_t, ino_t>> held_;
    std::chrono::steady_clock::time_point taken_{};
    bool valid_ = false;
};

}  // namespace korvex::wine
