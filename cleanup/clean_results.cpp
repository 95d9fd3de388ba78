#include "cleanup/clean_results.h"

#include <algorithm>
#include <functional>

#include "platform/folders.h"

namespace korvex::cleanup {

namespace {

// The file list and the index list of the selected rows: the row met last first.
void selectedLists(const ResultRows& rows, std::vector<std::string>& paths, std::vector<std::size_t>& indexes) {
    for (std::size_t i = rows.paths.size(); i-- > 0;) {
        if (i >= rows.selected.size() || !rows.selected[i]) continue;
        paths.push_back(rows.paths[i]);
        indexes.push_back(i);
    }
}

std::size_t selectedCount(const ResultRows& rows) {
    return static_cast<std::size_t>(std::count(rows.selected.begin(), rows.selected.end(), true));
}

Answer show(Prompt& prompt, Icon icon, Buttons buttons, int defaultButton, std::string_view title,
            std::string_view text) {
    Message m;
    m.icon = icon;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    m.title = title;
    m.text = text;
    return prompt.messageBox(m);
}

}  // namespace

std::vector<std::size_t> DeleteResults(FileSystem& files, Prompt& prompt, const ResultRows& rows, ResultsKind kind,
                                       DeleteHow how, const CleanUpRemoval& removal) {
    if (selectedCount(rows) == 0) {
        show(prompt, Icon::Exclamation, Buttons::OK, 1, "Error deleting files",
             "No files selected to delete. Select a file and then click on Delete");
        return {};
    }
    std::vector<std::string> paths;
    std::vector<std::size_t> gone;
    if (kind != ResultsKind::UnusedDlls) {
        if (kind == ResultsKind::Duplicates &&
            show(prompt, Icon::Exclamation, Buttons::OKCancel, 2, "Confirm delete", kDuplicateWarning) != Answer::OK)
            return {};
        std::vector<std::size_t> unused;
        selectedLists(rows, paths, unused);
        if (!paths.empty() && removal.removeFiles) removal.removeFiles(paths, 0, how);
    } else if (show(prompt, Icon::Exclamation, Buttons::OKCancel, 1, "Deleting DLL files not recommended",
                    kDllAdvice) == Answer::OK) {
        const std::string folder =
            BrowseForFolder(prompt, "Choose the folder in which you want to move the DLL files to:");
        if (!folder.empty()) {
            selectedLists(rows, paths, gone);
            if (!paths.empty() && removal.moveFiles) removal.moveFiles(paths, folder, 0);
        }
    }
    // Every row whose file or folder is gone leaves the list, each once.
    for (std::size_t i = 0; i < rows.paths.size(); ++i)
        if (!files.info(rows.paths[i]).exists) gone.push_back(i);
    std::sort(gone.begin(), gone.end(), std::greater<>());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    return gone;
}

std::vector<std::size_t> MoveResults(Prompt& prompt, const ResultRows& rows, const CleanUpRemoval& removal) {
    if (selectedCount(rows) == 0) {
        show(prompt, Icon::Exclamation, Buttons::OK, 1, "Error moving files",
             "No files selected to move. Select a file and then click on Move");
        return {};
    }
    const std::string folder = BrowseForFolder(prompt, "Choose the folder in which you want to move the files to:");
    if (folder.empty()) return {};
    std::vector<std::string> paths;
    std::vector<std::size_t> indexes;
    selectedLists(rows, paths, indexes);
    if (!paths.empty() && removal.moveFiles) removal.moveFiles(paths, folder, 0);
    return indexes;
}

}  // namespace korvex::cleanup
