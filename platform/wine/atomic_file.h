// Replacing a host file so that a crash at any moment leaves either the old file or
// the new one: the data goes to a temporary file beside it, is flushed to disk, is
// renamed over the old one, and the folder is flushed. On any error the old file stays
// and the temporary file is removed.
#pragma once

#include <string>
#include <string_view>

namespace korvex::wine {

// error (when given) receives a sentence for the user on failure.
bool ReplaceFileAtomically(const std::string& hostPath, std::string_view contents, std::string* error = nullptr);

// Copies a host file over another the same way, keeping the source's permission bits
// and modification time.
bool CopyHostFileAtomically(const std::string& from, const std::string& to);

// The folder part of a host path: "/" for a file at the root, "." for a bare name.
std::string HostFolderOf(const std::string& hostPath);
// Flushes a host folder, so that names just created or renamed in it survive a crash.
void SyncHostFolder(const std::string& folder);
// Writes all of data to an open file, resuming after interruptions.
bool WriteAllToFd(int fd, std::string_view data);

}  // namespace korvex::wine
