// Finding out whether a wineserver runs for a Wine prefix. While one runs it holds the
// prefix's registry in memory and overwrites the files when it saves, so Korvex must
// not write them then. A server keeps an fcntl write lock on the file "lock" in its
// server directory for as long as it runs; that directory is
// /tmp/.wine-<uid>/server-<dev>-<inode>/ of the prefix folder, or, with Debian's
// packages, <temp>/<name>/server-<dev>-<inode>/ where the prefix's file "wineserver"
// holds <name>.
#pragma once

#include <string>
#include <vector>

namespace korvex::wine {

struct WineserverState {
    bool running = false;
    long pid = 0;             // the process holding the lock (0 when unknown)
    std::string serverDir;    // where the lock was found
};

// The server directories a wineserver of this prefix would use.
std::vector<std::string> WineserverDirectories(const std::string& prefixDir);

WineserverState FindWineserver(const std::string& prefixDir);

}  // namespace korvex::wine
