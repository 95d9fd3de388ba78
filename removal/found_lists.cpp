#include "removal/found_lists.h"

#include <cstdio>
#include <cstdlib>

#include "changes/change_lists.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "settings/settings_keys.h"

namespace korvex {

namespace {

struct ScanSettings {
    bool autoexec = false, configSys = false, systemIni = false, winIni = false, registry = false;
};

ScanSettings readScanSettings(RegistryAccess& registry) {
    ScanSettings s;
    HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
    if (key == 0) return s;
    auto on = [&](std::string_view name) { return registry.QueryValue(key, name) == "1"; };
    s.autoexec = on("AutoexecScan");
    s.configSys = on("ConfigSysScan");
    s.systemIni = on("SystemIniScan");
    s.winIni = on("WinIniScan");
    s.registry = on("RegScan");
    registry.CloseKey(key);
    return s;
}

FoundRow disabledRow() {
    FoundRow row;
    row.text = std::string(kScanningNotEnabled);
    return row;
}

// Splits a "\"-separated path into its last name and what precedes it (ending in "\",
// or "" for a path of one name).
void splitLastName(const std::string& path, std::string& name, std::string& parent) {
    const std::size_t slash = path.rfind('\\');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    parent = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string readAndDelete(FileSystem& files, const std::string& path) {
    std::string text;
    if (files.readFile(path, text)) files.deleteFile(path);
    return text;
}

void loadFiles(Services& services, Prompt& prompt, const std::string& root, FoundLists& out) {
    FileSystem& files = services.files;
    char sep = services.system.decimalSeparator();
    std::vector<FoundRow>& rows = out[FoundList::Files];
    std::vector<std::string> pendingFolders;

    for (const FolderChange& section : ParseChangesFile(readAndDelete(files, root + std::string(kChangesFile)))) {
        prompt.yield();
        if (section.newFolder) {
            pendingFolders.push_back(section.folder);
            continue;
        }
        for (const std::string& name : section.files) {
            prompt.yield();
            FoundRow row;
            row.text = name;
            row.sub1 = section.folder;
            FileInfo info = files.info(row.fullPath());
            if (info.exists) {
                row.size = FormatSize(static_cast<double>(info.size), false, sep);
                out.total += static_cast<double>(info.size);
            }
            rows.push_back(std::move(row));
        }
    }

    // New folders, the last one read first.
    for (auto it = pendingFolders.rbegin(); it != pendingFolders.rend(); ++it) {
        std::string path = *it;
        if (!path.empty() && path.back() == '\\') path.pop_back();
        FoundRow row;
        row.isFolder = true;
        splitLastName(path, row.text, row.sub1);
        double size = FolderSize(files, path + "\\");
        row.size = FormatSize(size, false, sep);
        row.type = std::string(kFolderTypeName);
        out.total += size;
        rows.push_back(std::move(row));
    }
}

std::vector<FoundRow>* lineListFor(FoundLists& out, std::string_view header) {
    if (EqualsNoCase(header, kAutoexecHeader)) return &out[FoundList::AutoexecBat];
    if (EqualsNoCase(header, kWinIniHeader)) return &out[FoundList::WinIni];
    if (EqualsNoCase(header, kSystemIniHeader)) return &out[FoundList::SystemIni];
    if (EqualsNoCase(header, kConfigSysHeader)) return &out[FoundList::ConfigSys];
    return nullptr;
}

void loadKeys(FileSystem& files, RegistryAccess& registry, Prompt& prompt, const std::string& path,
              HKEY hive, std::string_view hiveName, std::vector<FoundRow>& rows) {
    for (const std::string& keyPath : ParseKeysFile(readAndDelete(files, path))) {
        prompt.yield();
        if (keyPath.empty()) continue;
        HKEY key = registry.OpenKey(hive, keyPath);
        if (key == 0) continue;  // removed since the run
        registry.CloseKey(key);
        FoundRow row;
        std::string parent;
        splitLastName(keyPath, row.text, parent);
        row.sub1 = std::string(hiveName) + "\\" + parent;
        rows.push_back(std::move(row));
    }
}

}  // namespace

FoundLists LoadFoundLists(Services& services, RegistryAccess& registry, Prompt& prompt) {
    FoundLists out;
    FileSystem& files = services.files;
    const std::string root = WindowsDriveRoot(services.system);
    if (root.empty()) return out;

    loadFiles(services, prompt, root, out);
    PruneVanished(files, out[FoundList::Files], prompt);

    ScanSettings scan = readScanSettings(registry);
    if (!scan.autoexec) out[FoundList::AutoexecBat].push_back(disabledRow());
    if (!scan.configSys) out[FoundList::ConfigSys].push_back(disabledRow());
    if (!scan.systemIni) out[FoundList::SystemIni].push_back(disabledRow());
    if (!scan.winIni) out[FoundList::WinIni].push_back(disabledRow());

    for (const SystemFileChange& section :
         ParseSysChangesFile(readAndDelete(files, root + std::string(kSysChangesFile)))) {
        prompt.yield();
        std::vector<FoundRow>* rows = lineListFor(out, section.header);
        if (!rows) continue;
        for (std::size_t i = 0; i < section.added.size(); ++i) {
            FoundRow row;
            row.text = section.added[i];
            row.sub1 = i < section.replaced.size() ? section.replaced[i] : std::string();
            rows->push_back(std::move(row));
        }
    }

    const std::string hkcuPath = root + std::string(kHkcuChangesFile);
    if (!files.info(hkcuPath).exists || !scan.registry) {
        out[FoundList::Registry].push_back(disabledRow());
        return out;
    }
    loadKeys(files, registry, prompt, hkcuPath, HKEY_CURRENT_USER, "HKEY_CURRENT_USER",
             out[FoundList::Registry]);
    loadKeys(files, registry, prompt, root + std::string(kHklmChangesFile), HKEY_LOCAL_MACHINE,
             "HKEY_LOCAL_MACHINE", out[FoundList::Registry]);
    return out;
}

void PruneVanished(FileSystem& files, std::vector<FoundRow>& rows, Prompt& prompt) {
    // Kept rows move up in one pass: erasing each vanished row on its own would move
    // the rest of a long list every time.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        prompt.yield();
        if (!files.info(rows[i].fullPath()).exists) continue;
        if (kept != i) rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
}

std::string TotalSizeText(double bytes, char decimalSeparator) {
    return "(Total size: " + FormatSize(bytes, true, decimalSeparator) + ")";
}

std::string SelectedSizeText(double bytes, char decimalSeparator) {
    return "(Size: " + FormatSize(bytes, true, decimalSeparator) + ")";
}

double SelectedSize(FileSystem& files, const std::vector<FoundRow>& rows) {
    double sum = 0;
    for (const FoundRow& row : rows) {
        if (!row.selected) continue;
        FileInfo info = files.info(row.fullPath());
        if (!info.exists) continue;
        if (info.isFolder || (info.attributes & FILE_ATTRIBUTE_DIRECTORY))
            sum += FolderSize(files, row.fullPath() + "\\");
        else
            sum += static_cast<double>(info.size);
    }
    return sum;
}

std::size_t SelectedCount(const FoundLists& lists) {
    std::size_t n = 0;
    for (const auto& rows : lists.lists)
        for (const FoundRow& row : rows)
            if (row.selected) ++n;
    return n;
}

void SelectAll(FoundLists& lists) {
    for (FoundRow& row : lists[FoundList::Files]) row.selected = true;
    for (std::size_t l = 1; l < kFoundListCount; ++l)
        for (FoundRow& row : lists.lists[l]) row.selected = row.selected || !row.isDisabledScan();
}

void InvertSelection(FoundLists& lists) {
    for (FoundRow& row : lists[FoundList::Files]) row.selected = !row.selected;
    for (std::size_t l = 1; l < kFoundListCount; ++l)
        for (FoundRow& row : lists.lists[l]) row.selected = !row.selected && !row.isDisabledScan();
}

std::string SizeSortKey(std::string_view sizeText) {
    // The number in front of the unit's two letters, read as far as it looks like a
    // number (a decimal point included), scaled to kilobytes.
    std::string_view number = sizeText.size() >= 2 ? sizeText.substr(0, sizeText.size() - 2) : "";
    std::string digits;
    bool point = false;
    for (char c : number) {
        if (c == ' ' || c == '\t') continue;
        if (c >= '0' && c <= '9') digits += c;
        else if (c == '.' && !point) { point = true; digits += c; }
        else break;
    }
    double kb = digits.empty() || digits == "." ? 0.0 : std::strtod(digits.c_str(), nullptr);
    if (sizeText.find("MB") != std::string_view::npos) kb *= 1024;
    else if (sizeText.find("GB") != std::string_view::npos) kb *= 1024.0 * 1024.0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", kb);
    std::string padded = "000000000" + std::string(buf);
    return padded.substr(padded.size() - 9);
}

SavedData ToSavedData(const FoundLists& lists, RowChoice choice) {
    auto take = [choice](const FoundRow& row) {
        if (choice == RowChoice::Selected) return row.selected;
        return FindNoCase(row.text, "scanning not") == std::string::npos;
    };
    SavedData data;
    for (const FoundRow& row : lists[FoundList::Files])
        if (take(row)) data.files.push_back(row.fullPath());
    for (const FoundRow& row : lists[FoundList::Registry])
        if (take(row)) data.registry.push_back(row.fullPath());
    const std::array<std::pair<FoundList, SavedSystemFile>, 4> order = {{
        {FoundList::WinIni, SavedSystemFile::WinIni},
        {FoundList::SystemIni, SavedSystemFile::SystemIni},
        {FoundList::AutoexecBat, SavedSystemFile::AutoexecBat},
        {FoundList::ConfigSys, SavedSystemFile::ConfigSys},
    }};
    for (const auto& [list, file] : order)
        for (const FoundRow& row : lists[list])
            if (take(row)) data.linesOf(file).push_back({row.text, row.sub1});
    return data;
}

}  // namespace korvex
