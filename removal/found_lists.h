// The six lists of the found-changes window as plain data: loading them from the
// change list files (and deleting those files), sizes and the total, pruning entries
// that vanished, the "Scanning not enabled." rows, the selection commands, the size
// sort key and turning rows into a saved uninstall data file. Responsible for what
// the lists hold and in which order; not for showing them (frmFoundChanges), icons or
// shell type names (the window asks the desktop for those).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"
#include "removal/saved_file.h"

namespace korvex {

// The lists in the order the window's tabs show them.
enum class FoundList { Files = 0, Registry = 1, WinIni = 2, SystemIni = 3, AutoexecBat = 4, ConfigSys = 5 };
inline constexpr std::size_t kFoundListCount = 6;

inline constexpr std::string_view kScanningNotEnabled = "Scanning not enabled.";
inline constexpr std::string_view kFolderTypeName = "Folder";

// One row. Files and folders: text = name, sub1 = folder path ending "\". Registry:
// text = last key component, sub1 = hive name + "\" + parent path ending "\". Lines:
// text = added line, sub1 = replaced line (" " for none).
struct FoundRow {
    std::string text;
    std::string sub1;
    std::string size;     // files list: FormatSize text
    std::string type;     // files list: shell type name ("Folder" for folders)
    std::string sortKey;  // files list: zero-padded kilobytes, made by a sort on size
    bool isFolder = false;
    bool selected = false;

    std::string fullPath() const { return sub1 + text; }
    bool isDisabledScan() const { return text == kScanningNotEnabled; }
};

struct FoundLists {
    std::array<std::vector<FoundRow>, kFoundListCount> lists;
    double total = 0;  // bytes of every file and folder as loaded, before pruning

    std::vector<FoundRow>& operator[](FoundList l) { return lists[static_cast<std::size_t>(l)]; }
    const std::vector<FoundRow>& operator[](FoundList l) const { return lists[static_cast<std::size_t>(l)]; }
};

// Loads the six lists from the change list files in the Windows drive root, deleting
// each file after reading it, prunes files and folders that no longer exist, and puts
// the disabled-scan row into every list whose scan is switched off. Registry keys that
// no longer exist are left out. Yields to prompt after every line and row.
FoundLists LoadFoundLists(Services& services, RegistryAccess& registry, Prompt& prompt);

// Removes the file and folder rows whose full path no longer exists, highest index
// first. The total is left as it was.
void PruneVanished(FileSystem& files, std::vector<FoundRow>& rows, Prompt& prompt);

// "(Total size: 1.5 MB)" and "(Size: ...)" texts of lblFileSize.
std::string TotalSizeText(double bytes, char decimalSeparator);
std::string SelectedSizeText(double bytes, char decimalSeparator);

// Bytes of the selected file and folder rows (a folder counts its whole tree).
double SelectedSize(FileSystem& files, const std::vector<FoundRow>& rows);
std::size_t SelectedCount(const FoundLists& lists);

// Select all: every files row, and every row of the other lists that is not a
// disabled-scan row. Invert: files rows flip; elsewhere a row becomes selected exactly
// when it was not and is not a disabled-scan row.
void SelectAll(FoundLists& lists);
void InvertSelection(FoundLists& lists);

// The padded sort key of a size text: kilobytes, right-aligned in nine digits.
std::string SizeSortKey(std::string_view sizeText);

// Which rows go into a saved file: the selected ones (Save selected), or every row
// that is not a disabled-scan row (the rewrite of a reviewed saved file).
enum class RowChoice { Selected, Remaining };
SavedData ToSavedData(const FoundLists& lists, RowChoice choice);

}  // namespace korvex
