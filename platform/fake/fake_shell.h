// The shell's file operations over an in-memory machine, for tests: deleting and
// moving whole trees, a Recycle Bin that remembers what it holds and where it came
// from, deletion at restart recorded in a list, and failures on demand (items that
// cannot be deleted, moved or trashed; items refused). Asks the confirmation through
// the prompt it is handed, as the real shell does.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/fake/memory_files.h"
#include "platform/removal_guard.h"
#include "platform/shell.h"

namespace korvex {

class FakeShell : public Shell {
public:
    explicit FakeShell(MemoryFiles& files) : files_(files) {}

    int fileOperation(FileOperation& op, Prompt& prompt) override;
    bool deleteAtRestart(std::string_view path) override;
    bool packAndDelete(const std::vector<std::string>& paths, std::string_view archive, Prompt& prompt) override;
    RecycleBinContents recycleBinContents() override;
    bool emptyRecycleBin() override;
    void protectFolder(std::string_view windowsPath) override {
        protectedFolders.emplace_back(windowsPath);
        guard.protect(windowsPath);
    }
    std::vector<Refusal> takeRefusals() override;

    struct TrashEntry {
        std::string originalPath;
        std::uint64_t bytes = 0;
    };
    std::vector<TrashEntry> trash;             // what the Recycle Bin holds, oldest first
    std::vector<std::string> scheduled;        // deleteAtRestart paths, in call order
    std::vector<FileOperation> operations;     // every fileOperation call, as it was made
    std::vector<std::string> protectedFolders;
    std::vector<std::string> archives;         // every packAndDelete archive asked for

    // Failures on demand; paths compare without regard to case.
    std::set<std::string> failing;   // items any operation fails on (as if held open)
    std::set<std::string> refused;   // items refused with the reason "refused in a test"
    bool scheduleSucceeds = true;    // false: deleteAtRestart fails for every path
    // The safety rules every Shell applies (a default Wine prefix's layout unless a
    // test sets another, e.g. RemovalGuard(MachineLayout::Of(system))).
    RemovalGuard guard;

private:
    bool fails(std::string_view path) const;
    bool isRefused(std::string_view path);  // the test's refusals and the guard's; records them
    std::uint64_t sizeOf(const std::string& path);
    MemoryFiles& files_;
    std::vector<Refusal> refusals_;
};

}  // namespace korvex
