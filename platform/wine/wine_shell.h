// The shell's file operations on a Wine prefix: the freedesktop.org Trash as the
// machine's Recycle Bin, deleting and moving on the host's disks, deletion at the
// machine's next start through its pending-rename list.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace korvex::wine {

class WineFiles;
class WineSystem;

class WineShell : public Shell {
public:
    WineShell(std::string prefixDir, WineFiles& files, WineSystem& system);

    int fileOperation(FileOperation& op, Prompt& prompt) override;
    bool deleteAtRestart(std::string_view path) override;
    bool packAndDelete(const std::vector<std::string>& paths, std::string_view archive, Prompt& prompt) override;
    RecycleBinContents recycleBinContents() override;
    bool emptyRecycleBin() override;
    void protectFolder(std::string_view windowsPath) override;
    std::vector<Refusal> takeRefusals() override;

private:
    std::string prefix_;
    WineFiles& files_;
    WineSystem& system_;
    std::vector<std::string> protected_;
    std::vector<Refusal> refusals_;
};

}  // namespace korvex::wine
