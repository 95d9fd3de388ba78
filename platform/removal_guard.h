// The safety rules every removal of Korvex passes, by Windows path: what may never be
// deleted or moved away because it is the machine's own structure (drive roots, the
// Windows and system folders, Program Files and Common Files, the profiles and their
// shell folders, ProgramData), because Korvex needs it (its data folder and program
// folder), or because the path itself is suspect (. or .. components, network paths,
// wildcards, anything that is not a drive path). The contents of those folders stay
// removable; a folder that holds one of them does not. Used by every Shell; the
// checks that need the host (links, the prefix's own files, what lies outside the
// machine) are the Wine backend's own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace korvex {

// Where a machine keeps its structure, as Windows paths without a trailing "\".
struct MachineLayout {
    std::string windowsFolder = "C:\\windows";
    std::string systemFolder = "C:\\windows\\system32";
    std::string programFiles = "C:\\Program Files";
    std::string programFolder = "C:\\Program Files\\Korvex";  // Korvex's own folder
    // Folders whose every sub folder is a user's profile (C:\users; C:\windows\Profiles
    // on the Windows 95 family).
    std::vector<std::string> profileParents = {"C:\\users"};
    // Further folders the machine names (shell folders read from its registry).
    std::vector<std::string> shellFolders;

    // The layout a machine reports through its System.
    static MachineLayout Of(System& system);
};

class RemovalGuard {
public:
    // The layout of a default Wine prefix.
    RemovalGuard();
    explicit RemovalGuard(const MachineLayout& layout);

    // Korvex's data folder (and any other folder it must keep): the folder itself and
    // every folder that holds it are refused, its contents are not.
    void protect(std::string_view windowsPath);

    // Why path may not be removed, in words for the user ("a drive root", "the Windows
    // folder"...), or "" when it may.
    std::string check(std::string_view windowsPath) const;

    // The path in the form the checks compare: "\" separators, no doubled or trailing
    // separators. Only meaningful for paths check() accepts.
    static std::string Normal(std::string_view windowsPath);

private:
    struct Entry {
        std::string lower;  // normal form, lower case
        std::string what;   // "the Windows folder"
    };
    void add(std::string_view path, std::string what);
    std::vector<Entry> entries_;
    std::vector<std::string> profileParents_;  // lower case
};

}  // namespace korvex
