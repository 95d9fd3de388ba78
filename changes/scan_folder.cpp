#include "changes/scan_folder.h"

#include <vector>

#include "platform/folders.h"
#include "platform/text.h"
#include "platform/types.h"
#include "scandb/folder_list.h"

namespace korvex {

std::string BuildIgnoreList(System& system, const std::string& firstRoot, std::string_view foldersToIgnore) {
    std::string list;
    auto add = [&](const std::string& entry) {
        list += entry;
        list += kListSeparator;
    };
    add(WindowsFolder(system) + "History\\");
    add(firstRoot + "Recycled\\");
    add(firstRoot + "Recycler\\");
    for (char letter : {'D', 'E', 'F', 'G', 'H'}) add(std::string(1, letter) + ":\\Recycled\\");
    for (char letter : {'D', 'E', 'F', 'G', 'H'}) add(std::string(1, letter) + ":\\Recycler\\");
    list += foldersToIgnore;
    return list;
}

namespace {

// Whether the first place a path was found at in an ignore list (npos: nowhere) is an
// entry for that folder: the path followed by "\" and the separator.
bool isEntryAt(std::string_view ignoreList, std::size_t at, std::size_t pathLength) {
    if (at == std::string_view::npos) return false;
    const std::size_t after = at + pathLength;
    return after + 2 <= ignoreList.size() && ignoreList[after] == '\\' && ignoreList[after + 1] == kListSeparator;
}

// IsIgnoredFolder on a list and a path both already in lower case.
bool ignoredLower(std::string_view lowerList, std::string_view lowerPath) {
    return isEntryAt(lowerList, lowerList.find(lowerPath), lowerPath.size());
}

}  // namespace

bool IsIgnoredFolder(std::string_view ignoreList, std::string_view fullPath) {
    return isEntryAt(ignoreList, FindNoCase(ignoreList, fullPath), fullPath.size());
}

bool IsKorvexFile(std::string_view name) {
    // ".kvd" in any case, ".kvu" exactly; checked at each "." (a million names a walk).
    for (std::size_t at = name.find('.'); at != std::string_view::npos && at + 4 <= name.size();
         at = name.find('.', at + 1)) {
        const char k = name[at + 1], v = name[at + 2], last = name[at + 3];
        if (LowerAscii(k) == 'k' && LowerAscii(v) == 'v' && LowerAscii(last) == 'd') return true;
        if (k == 'k' && v == 'v' && last == 'u') return true;
    }
    return false;
}

double ScanFolder(FileSystem& files, const std::string& path, OutputFile& out, std::string_view ignoreList,
                  double& counter, const RunHooks& hooks) {
    // The same list writer as Update database, so both lists are byte for byte alike
    // where they cover the same folders.
    scandb::FolderListWriter writer(out);
    // Depth first without recursion, so that no tree is too deep for the stack: the
    // pending folders are kept in reverse so the next one to walk is at the back.
    std::vector<std::string> pending{path};
    std::vector<std::string> subFolders;
    std::string folder;
    std::string full;
    const std::string lowerIgnore = ToLower(ignoreList);
    const FileSystem::EntryCallback onEntry = [&](std::string_view name, bool isFolder) {
        if (!scandb::IsListableName(name)) return;
        if (!isFolder) {
            if (!IsKorvexFile(name)) writer.file(name);
            return;
        }
        if (name.front() == '.') return;
        full.assign(folder).append(name);
        for (char& ch : full) ch = LowerAscii(ch);
        if (ignoredLower(lowerIgnore, full)) return;
        counter += 1;
        if (counter == 300) hooks.setPosition(2);
        if (counter == 600) hooks.setPosition(4);
        subFolders.emplace_back(name);
    };
    while (!pending.empty()) {
        folder = std::move(pending.back());
        pending.pop_back();
        if (hooks.yieldAndTest()) break;
        subFolders.clear();
        writer.beginFolder(folder);
        files.listFolder(folder, onEntry);  // a folder that cannot be listed keeps an empty section
        writer.endFolder();
        for (auto it = subFolders.rbegin(); it != subFolders.rend(); ++it) pending.push_back(folder + *it + "\\");
    }
    writer.flush();
    return counter;
}

}  // namespace korvex
