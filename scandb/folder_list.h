// Writing a drive's file list: folder blocks of a header line (the folder's path,
// ending in "\", then "{"), one line per file name, and a "}" line, each ended by
// CR LF. Shared by Update database's walker and the rescan of Find changes, so both
// write byte-identical lists.
#pragma once

#include <string>
#include <string_view>

#include "platform/filesystem.h"

namespace korvex::scandb {

// True when name can stand on a line of a list: not empty, and free of control
// characters (a line break would split it) and of "\" (which marks header lines).
// Names that fail never reach a list.
bool IsListableName(std::string_view name);

// Gathers the lines in memory and hands them to the output file in large pieces, so
// a walk of a million files costs a few hundred writes. Write errors are left to
// the output file's close().
class FolderListWriter {
public:
    explicit FolderListWriter(OutputFile& out);
    ~FolderListWriter();  // flushes
    FolderListWriter(const FolderListWriter&) = delete;
    FolderListWriter& operator=(const FolderListWriter&) = delete;

    void beginFolder(std::string_view folderPath);  // folderPath ends in "\"
    void file(std::string_view name);
    void endFolder();
    // Hands everything gathered so far to the output file.
    void flush();

private:
    void flushIfFull() {
        if (buffer_.size() >= kFlushSize) flush();
    }

    static constexpr std::size_t kFlushSize = 256 * 1024;
    OutputFile& out_;
    std::string buffer_;
};

}  // namespace korvex::scandb
