#include "removal/found_removal.h"

#include "platform/folders.h"
#include "removal/remove_files.h"
#include "removal/remove_keys.h"
#include "removal/safety.h"

namespace korvex {

namespace {

constexpr FoundList kLineLists[] = {FoundList::WinIni, FoundList::SystemIni, FoundList::AutoexecBat,
                                    FoundList::ConfigSys};

bool anySelected(const std::vector<FoundRow>& rows) {
    for (const FoundRow& r : rows)
        if (r.selected && !r.isDisabledScan()) return true;
    return false;
}

// Takes out the rows whose flag is set, keeping the others in order.
void takeOut(std::vector<FoundRow>& rows, const std::vector<bool>& out) {
    std::vector<FoundRow> kept;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!out[i]) kept.push_back(std::move(rows[i]));
    rows = std::move(kept);
}

}  // namespace

std::string SystemFilePath(System& system, SavedSystemFile which) {
    switch (which) {
        case SavedSystemFile::WinIni: return WindowsFolder(system) + "win.ini";
        case SavedSystemFile::SystemIni: return WindowsFolder(system) + "system.ini";
        case SavedSystemFile::AutoexecBat: return WindowsDriveRoot(system) + "autoexec.bat";
        case SavedSystemFile::ConfigSys: return WindowsDriveRoot(system) + "config.sys";
    }
    return {};
}

Refusals DeleteSelected(RemovalContext& c, FoundLists& lists, bool permanent, InUseDll& dll) {
    Refusals refusals;
    if (SelectedCount(lists) == 0) {
        c.prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Error deleting files",
                             "No files or system changes selected. Select a file or a system change and then "
                             "click on Delete selected."});
        return refusals;
    }
    bool needsRegistry = anySelected(lists[FoundList::Registry]);
    for (FoundList l : kLineLists) needsRegistry = needsRegistry || anySelected(lists[l]);
    if (needsRegistry && RegistryInUse(c)) return refusals;

    dll.clear();
    std::vector<std::string> list;
    for (const FoundRow& row : lists[FoundList::Files]) {
        if (!row.selected) continue;
        const std::string path = row.fullPath();
        if (auto why = PathRefusal(path)) {
            refusals.push_back({path, *why});
            continue;
        }
        AskSharedDll(c, dll, path, list);
    }
    RemoveReport report;
    if (!list.empty()) RemoveFiles(c, list, 0, permanent ? RemovalMode::Permanent : RemovalMode::Normal, &report);
    refusals.insert(refusals.end(), report.refusals.begin(), report.refusals.end());
    PruneVanished(c.services.files, lists[FoundList::Files], c.prompt);

    for (std::size_t i = 0; i < 4; ++i) {
        std::vector<FoundRow>& rows = lists[kLineLists[i]];
        const std::string file = SystemFilePath(c.services.system, static_cast<SavedSystemFile>(i));
        std::vector<bool> out(rows.size(), false);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!rows[r].selected || rows[r].isDisabledScan()) continue;
            RemoveLine(c, file, rows[r].text, rows[r].sub1);
            out[r] = true;
        }
        takeOut(rows, out);
    }

    std::vector<FoundRow>& keys = lists[FoundList::Registry];
    std::vector<std::string> names;
    std::vector<std::size_t> rowOf;
    for (std::size_t r = 0; r < keys.size(); ++r) {
        if (!keys[r].selected || keys[r].isDisabledScan()) continue;
        names.push_back(keys[r].fullPath());
        rowOf.push_back(r);
    }
    const std::vector<KeyResult> results = RemoveKeys(c, names, refusals);
    std::vector<bool> out(keys.size(), false);
    for (std::size_t i = 0; i < results.size(); ++i)
        out[rowOf[i]] = results[i] == KeyResult::Removed || results[i] == KeyResult::AlreadyGone;
    takeOut(keys, out);

    for (const Refusal& r : c.services.shell.takeRefusals()) refusals.push_back(r);
    return refusals;
}

Refusals MoveSelected(RemovalContext& c, FoundLists& lists) {
    Refusals refusals;
    std::vector<FoundRow>& rows = lists[FoundList::Files];
    if (!anySelected(rows)) {
        c.prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Error moving files",
                             "No files selected. Select a file and then click on Move selected."});
        return refusals;
    }
    const std::string destination =
        BrowseForFolder(c.prompt, "Choose the folder in which you want to move the selected files to:");
    if (destination.empty()) return refusals;
    std::vector<std::string> list;
    for (const FoundRow& row : rows) {
        if (!row.selected) continue;
        if (auto why = PathRefusal(row.fullPath())) refusals.push_back({row.fullPath(), *why});
        else list.push_back(row.fullPath());
    }
    MoveFiles(c, list, destination, 0);
    PruneVanished(c.services.files, rows, c.prompt);
    for (const Refusal& r : c.services.shell.takeRefusals()) refusals.push_back(r);
    return refusals;
}

}  // namespace korvex
