// An in-memory file system with Windows paths, for tests: drives, folders listed in
// creation order, files with contents, attributes and times, and failures on demand
// (unreadable folders, files that cannot be written, moved or deleted, files in use).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace korvex {

class MemoryFiles : public FileSystem {
public:
    MemoryFiles();
    ~MemoryFiles() override;

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
    bool isFileInUse(std::string_view path) override;
    bool isLinkedFolder(std::string_view path) const override;
    std::string lastError() override { return lastError_; }

    // Test helpers: write a file (creating its folders), read one back, list a tree.
    void put(std::string_view path, std::string_view contents, std::int64_t modified = 1000);
    std::string contents(std::string_view path) const;  // "" when missing
    bool exists(std::string_view path) const;
    bool isExecutable(std::string_view path) const;
    // Every file and folder path below a folder (folders end in "\"), sorted, for
    // asserting that nothing else was left behind.
    std::vector<std::string> tree(std::string_view folder) const;
    // For the fake shell: removes a file or a whole folder; moves either to a new path
    // (its parent folder must exist, the new path must not). False when not possible.
    bool erase(std::string_view path);
    bool relocate(std::string_view from, std::string_view to);

    // Failures on demand; paths compare without regard to case.
    std::set<std::string> unreadable;   // folders that cannot be listed
    std::set<std::string> readOnly;     // files that cannot be written, replaced, moved or deleted
    std::set<std::string> linked;       // folders that stand for links Wine makes into the home
    std::set<std::string> inUse;        // files another process holds open
    std::set<std::string> lockedFolders;  // folders nothing can be written into ("Permission denied")
    std::int64_t clock = 2000;          // modification time given to files written

    struct Node;

private:
    Node* find(std::string_view path) const;
    Node* makeFolders(std::string_view path);
    bool lockedFor(std::string_view path);  // the path's folder is locked; sets lastError_
    std::string lastError_;
    std::unique_ptr<Node> root_;  // children are the drive roots "C:", "D:"...
};

}  // namespace korvex
