#include "removal/kept_findings.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/text.h"

namespace korvex {

namespace {

// Names Korvex gave its kept copies: "YYYY-MM-DD HH.MM.SS", maybe " (n)", then ".kvu".
bool isKeptName(std::string_view name) {
    if (name.size() < 23 || !EndsWithNoCase(name, ".kvu")) return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u})
        if (name[i] < '0' || name[i] > '9') return false;
    return name[4] == '-' && name[7] == '-' && name[10] == ' ' && name[13] == '.' && name[16] == '.';
}

void dropOldCopies(FileSystem& files, const std::string& folder) {
    std::vector<std::string> kept;
    files.listFolder(folder, [&](std::string_view name, bool isFolder) {
        if (!isFolder && isKeptName(name)) kept.emplace_back(name);
    });
    if (kept.size() <= kKeptRuns) return;
    std::sort(kept.begin(), kept.end());  // the names sort by date
    for (std::size_t i = 0; i + kKeptRuns < kept.size(); ++i) files.deleteFile(folder + "\\" + kept[i]);
}

}  // namespace

std::string KeptFileName(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    const std::tm* local = std::localtime(&t);
    char name[40];
    if (!local || std::strftime(name, sizeof name, "%Y-%m-%d %H.%M.%S.kvu", local) == 0) return "0000-00-00 00.00.00.kvu";
    return name;
}

std::string KeepFoundChanges(Services& services, const std::string& dataFolder, const FoundLists& lists) {
    const SavedData data = ToSavedData(lists, RowChoice::Remaining);
    if (data.entryCount() == 0) return {};
    FileSystem& files = services.files;
    const std::string folder = dataFolder + std::string(kFoundChangesFolder);
    if (!files.info(folder).isFolder && !files.createFolder(folder)) return {};
    const std::string name = KeptFileName(services.system.now());
    std::string path = folder + "\\" + name;
    for (int n = 2; files.info(path).exists && n < 100; ++n)
        path = folder + "\\" + name.substr(0, name.size() - 4) + " (" + std::to_string(n) + ").kvu";
    if (!WriteSavedFile(files, path, data)) return {};
    dropOldCopies(files, folder);
    return path;
}

}  // namespace korvex
