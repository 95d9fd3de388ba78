// The machine facts of a Wine prefix: drive types and labels, the Windows version,
// the shell folders, the temporary folder, starting programs and opening documents,
// the user's locale and clock. Reads the prefix's registry through the Registry
// interface (so tests can hand it an in-memory one) and its files through WineFiles;
// writes nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"
#include "platform/wine/wine_files.h"

namespace korvex::wine {

class WineSystem : public System {
public:
    WineSystem(std::string prefixDir, Registry& registry, WineFiles& files);

    unsigned driveType(char letter) override;
    std::string volumeLabel(char letter) override;
    int platformId() override;
    std::string shellFolder(int csidl) override;
    std::string tempPath() override;
    std::string longPathName(std::string_view path) override;
    std::string programFolder() override;
    std::string hostPath(std::string_view windowsPath) override;
    std::string windowsPath(std::string_view hostPath) override;
    bool startProgram(std::string_view commandLine) override;
    bool openWithShell(std::string_view documentOrAddress) override;
    void beep() override;
    std::int64_t now() override;
    std::string formatDateTime(std::int64_t unixSeconds) override;
    char decimalSeparator() override;

    // The name of the user's profile folder under C:\users.
    std::string profileName();
    // Expands %NAME% references the way ExpandEnvironmentStrings does; unknown names stay.
    std::string expand(std::string_view text);
    // Where the shell-folder settings put the folders Wine links out of the prefix
    // (Desktop, Documents, Downloads, Music, Pictures, Videos, Templates): each value of
    // User Shell Folders, expanded, then of Shell Folders; empty values left out.
    std::vector<std::string> linkedShellFolderPaths();

private:
    std::string readText(HKEY root, std::string_view key, std::string_view name);
    bool hasValue(HKEY root, std::string_view key, std::string_view name);
    std::string variable(std::string_view name, int depth);
    std::string expandAt(std::string_view text, int depth);
    std::string windowsFolder();
    std::string profileFolder();

    std::string prefix_;
    Registry& registry_;
    WineFiles& files_;
};

}  // namespace korvex::wine
