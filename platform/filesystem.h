// The machine's files, named by Windows paths ("C:\Program Files\App\x.dll"): letters
// map to the machine's drives and every name compares without regard to case. Host
// names that no Windows path could carry are never reported (see the backend).
// This is the only way the logic reaches files; removal primitives come later.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace korvex {

struct FileInfo {
    bool exists = false;
    bool isFolder = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;       // seconds since the Unix epoch
    std::uint32_t attributes = 0;    // FILE_ATTRIBUTE_* bits
};

// A file being written line by line (scan databases reach hundreds of megabytes).
// Data is buffered; close() reports whether everything reached the file.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual void write(std::string_view data) = 0;
    virtual bool close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Calls onEntry for every entry of folder ("." and ".." excluded) in the order the
    // file system lists them. A symbolic link to a folder is reported as a file, so no
    // walk ever follows one; the only exception is a profile folder the machine itself
    // links elsewhere (Wine's Desktop, Documents...), which the backend lists as a
    // folder and keeps every walk through it finite. Returns false when the folder
    // cannot be listed.
    using EntryCallback = std::function<void(std::string_view name, bool isFolder)>;
    virtual bool listFolder(std::string_view folder, const EntryCallback& onEntry) = 0;
    // True for one of those machine-linked profile folders itself. The clean-up scans
    // stay out of them: they hold the user's own files from the home folder, which a
    // junk or duplicate scan of the machine must not offer to delete.
    virtual bool isLinkedFolder(std::string_view /*windowsPath*/) const { return false; }

    virtual FileInfo info(std::string_view path) = 0;
    virtual bool readFile(std::string_view path, std::string& contents) = 0;

    // Creates or empties path for writing; nullptr when it cannot.
    virtual std::unique_ptr<OutputFile> createFile(std::string_view path) = 0;
    // Replaces path atomically with contents: the old file stays on any failure.
    virtual bool replaceFile(std::string_view path, std::string_view contents) = 0;
    // Moves or copies a file over the destination, replacing it without asking.
    virtual bool moveFile(std::string_view from, std::string_view to) = 0;
    virtual bool copyFile(std::string_view from, std::string_view to) = 0;
    // Deleting a file that is already gone succeeds.
    virtual bool deleteFile(std::string_view path) = 0;
    // Creates the folder and any missing parents.
    virtual bool createFolder(std::string_view path) = 0;
    // Sets exactly these DOS attributes (hidden, system, read-only).
    virtual bool setAttributes(std::string_view path, std::uint32_t attributes) = 0;
    // Lets the host start the file as a program (a launcher script Wine runs); false
    // when the file is missing or cannot be changed.
    virtual bool setExecutable(std::string_view path) = 0;
    // True when another process holds the file open.
    virtual bool isFileInUse(std::string_view path) = 0;

    // Why the last write, move, copy or create that failed did so, in the system's
    // words ("Permission denied", "Read-only file system"); "" when unknown.
    virtual std::string lastError() { return {}; }
};

}  // namespace korvex
