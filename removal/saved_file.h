// The saved uninstall data file (".kvu"): six sections in a fixed order (files and
// folders, registry keys, then the added lines of win.ini, system.ini, autoexec.bat
// and config.sys), CR LF after every line. Responsible for the exact text, writing it
// atomically, reading it back, and remembering a saved file in the recent list
// ("SavedForDeletion") and the last folder ("OpenSavePath"). Not responsible for
// choosing which rows go in (the found-changes lists do that) or for uninstalling.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"
#include "platform/registry_access.h"

namespace korvex {

// An added line of a system text file and the line it replaced (" " for none).
struct SavedLine {
    std::string added;
    std::string replaced;
    bool wellFormed = true;  // false: the entry had no character 127 at all
    bool operator==(const SavedLine&) const = default;
};

// The system text files in the order of the saved file's sections 3 to 6.
enum class SavedSystemFile { WinIni = 0, SystemIni = 1, AutoexecBat = 2, ConfigSys = 3 };

inline constexpr std::string_view kSavedFilesHeader = "Files{";
inline constexpr std::string_view kSavedRegistryHeader = "Registry{";
inline constexpr std::array<std::string_view, 4> kSavedLineHeaders = {
    "Win.ini{", "System.ini{", "Autoexec.bat{", "Config.sys{"};
inline constexpr std::string_view kSavedSectionEnd = "}";

struct SavedData {
    std::vector<std::string> files;     // full paths; a folder has no trailing "\"
    std::vector<std::string> registry;  // "HKEY_CURRENT_USER\Software\X" ...
    std::array<std::vector<SavedLine>, 4> lines;  // indexed by SavedSystemFile

    std::vector<SavedLine>& linesOf(SavedSystemFile f) { return lines[static_cast<std::size_t>(f)]; }
    const std::vector<SavedLine>& linesOf(SavedSystemFile f) const {
        return lines[static_cast<std::size_t>(f)];
    }
    std::size_t entryCount() const;
    bool operator==(const SavedData&) const = default;
};

// The whole file text: all six sections, always present, CR LF after every line.
std::string FormatSavedFile(const SavedData& data);

// Parses a saved file's text. Sections are recognised by their headers (letter case
// ignored); lines outside a section are skipped. valid (when given) tells whether the
// first line contains "Files{", the test a saved file must pass to be uninstalled.
SavedData ParseSavedFile(std::string_view text, bool* valid = nullptr);

// Writes path anew with the six sections, replacing any old file atomically.
bool WriteSavedFile(FileSystem& files, std::string_view path, const SavedData& data);

// The rewrite after review: the rows still listed, or no file at all when none remain.
bool RewriteSavedFile(FileSystem& files, std::string_view path, const SavedData& remaining);

// Reads and parses path; nothing when it cannot be read.
std::optional<SavedData> ReadSavedFile(FileSystem& files, std::string_view path);

// The last folder a data file was saved to or opened from ("" when unset).
std::string ReadOpenSavePath(RegistryAccess& registry);

// After a data file was chosen for saving: "OpenSavePath" becomes its folder (no
// trailing "\") and its path goes in front of "SavedForDeletion", even when the list
// already holds it. Both live in the General key.
void RememberSavedFile(RegistryAccess& registry, std::string_view path);

// The folder part of a full path: everything before the last "\" (no trailing "\").
std::string SavedFileFolder(std::string_view path);

}  // namespace korvex
