// Well-known folders, size texts and the small path helpers every part of Korvex uses.
#include "platform/folders.h"

#include <cstdio>
#include <vector>

#include "platform/text.h"

namespace korvex {

namespace {

std::string withBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::string folderOf(System& system, int csidl) { return withBackslash(GetFolderPath(system, csidl)); }

double folderSize(FileSystem& files, const std::string& folder, int depth, bool* failed) {
    // Links are reported as files (linked profile folders are fenced in by the
    // backend), so the walk always ends; the depth limit guards
    // against bind mounts that show a tree inside itself.
    if (depth > 256) {
        *failed = true;
        return 0;
    }
    std::vector<std::pair<std::string, bool>> entries;
    if (!files.listFolder(folder, [&](std::string_view name, bool isFolder) {
            entries.emplace_back(std::string(name), isFolder);
        })) {
        *failed = true;
        return 0;
    }
    double total = 0;
    for (const auto& [name, isFolder] : entries) {
        const std::string path = folder.back() == '\\' ? folder + name : folder + "\\" + name;
        if (isFolder) {
            total += folderSize(files, path, depth + 1, failed);
        } else {
            const FileInfo info = files.info(path);
            if (!info.exists) {
                *failed = true;
                return 0;
            }
            total += static_cast<double>(info.size);
        }
        if (*failed) return 0;
    }
    return total;
}

}  // namespace

std::string GetFolderPath(System& system, int csidl) { return system.shellFolder(csidl); }

std::string WindowsFolder(System& system) { return folderOf(system, CSIDL_WINDOWS); }
std::string SystemFolder(System& system) { return folderOf(system, CSIDL_SYSTEM); }
std::string ProgramFilesFolder(System& system) { return folderOf(system, CSIDL_PROGRAM_FILES); }
std::string AppDataFolder(System& system) { return folderOf(system, CSIDL_APPDATA); }
std::string CookiesFolder(System& system) { return folderOf(system, CSIDL_COOKIES); }
std::string InternetCacheFolder(System& system) { return folderOf(system, CSIDL_INTERNET_CACHE); }
std::string RecentFolder(System& system) { return folderOf(system, CSIDL_RECENT); }
std::string FavoritesFolder(System& system) { return folderOf(system, CSIDL_FAVORITES); }

std::string HistoryFolder(System& system) {
    if (system.platformId() != VER_PLATFORM_WIN32_NT) return "";
    return folderOf(system, CSIDL_HISTORY);
}

std::string WindowsDriveRoot(System& system) { return WindowsFolder(system).substr(0, 3); }

std::string TempFolder(System& system) {
    const std::string shortForm = withBackslash(system.tempPath());
    if (shortForm.empty()) return "";
    const std::string longForm = system.longPathName(shortForm);
    if (longForm.empty()) return shortForm;
    return withBackslash(longForm);
}

std::string FormatSize(double bytes, bool showDecimal, char decimalSeparator) {
    double value = bytes;
    int unit = 0;
    while (value > 1024) {
        value /= 1024;
        ++unit;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    for (char& c : text)
        if (c == '.') c = decimalSeparator;

    std::size_t mark = text.find('.');
    if (mark == std::string::npos) mark = text.find(',');
    char digit = '\0';
    if (mark != std::string::npos) {
        if (mark + 1 < text.size()) digit = text[mark + 1];
        text.erase(mark);
    }
    if (unit == 0) text = bytes <= 512 ? "0KB" : "1KB";
    if (showDecimal && digit != '\0' && digit != '0') {
        text += '.';
        text += digit;
        text += ' ';
    }
    switch (unit) {
    case 1: text += "KB"; break;
    case 2: text += "MB"; break;
    case 3: text += "GB"; break;
    default: break;
    }
    return text;
}

bool IsFileInUse(FileSystem& files, std::string_view path) { return files.isFileInUse(path); }

bool IsExistingFile(FileSystem& files, std::string_view path) {
    const FileInfo info = files.info(path);
    return info.exists && !info.isFolder;
}

double FolderSize(FileSystem& files, std::string_view folder) {
    std::string start(folder);
    if (start.empty()) return 0;
    while (start.size() > 3 && start.back() == '\\') start.pop_back();
    bool failed = false;
    const double total = folderSize(files, start, 0, &failed);
    return failed ? 0 : total;
}

std::string BrowseForFolder(Prompt& prompt, std::string_view title) {
    std::string folder = prompt.pickFolder(title);
    // A drive root keeps its "\" ("C:\"), as the shell gives it.
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

void OpenWithShell(System& system, std::string_view document) { system.openWithShell(document); }

std::size_t LastIndexOf(std::string_view text, std::string_view part) {
    if (part.empty()) return 0;
    std::size_t last = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t found = FindNoCase(text, part, from);
        if (found == std::string_view::npos) break;
        last = found + 1;
        from = found + 1;
    }
    return last;
}

}  // namespace korvex
