#include "removal/uninstall.h"

#include <algorithm>

#include "changes/change_lists.h"
#include "platform/folders.h"
#include "platform/removal_guard.h"
#include "platform/text.h"
#include "removal/found_removal.h"
#include "removal/remove_files.h"
#include "removal/remove_keys.h"
#include "removal/safety.h"
#include "settings/settings_keys.h"

namespace korvex {

namespace {

constexpr std::string_view kCompleteTitle = "Korvex! Uninstall complete";

// The data file's parsed text, or nothing when it is no saved data file.
std::optional<SavedData> readDataFile(FileSystem& files, const std::string& path) {
    const FileInfo info = files.info(path);
    if (!info.exists || info.isFolder || info.size > kMaxSavedFileBytes) return std::nullopt;
    std::string text;
    if (!files.readFile(path, text)) return std::nullopt;
    bool valid = false;
    SavedData data = ParseSavedFile(text, &valid);
    if (!valid) return std::nullopt;
    return data;
}

void forgetRecentFile(RegistryAccess& registry, std::string_view path) {
    const HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (!key) return;
    std::string list = registry.QueryValue(key, "SavedForDeletion");
    const std::size_t at = FindNoCase(list, path);
    if (at != std::string::npos) {
        std::size_t end = at + path.size();
        if (end < list.size() && list[end] == '\x7f') ++end;
        list.erase(at, end - at);
        registry.SetValue(key, "SavedForDeletion", list);
    }
    registry.CloseKey(key);
}

std::uint64_t countSubKeys(Registry& registry, HKEY root, const std::string& path, int depth) {
    HKEY key = 0;
    if (depth > 512 || registry.openKey(root, path, KEY_READ, &key) != ERROR_SUCCESS || !key) return 0;
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0;; ++i) {
        name.clear();
        if (registry.enumKey(key, i, &name) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    registry.closeKey(key);
    std::uint64_t total = names.size();
    for (const std::string& n : names) total += countSubKeys(registry, root, path + "\\" + n, depth + 1);
    return total;
}

bool hasLines(const SavedData& data) {
    for (const auto& section : data.lines)
        if (!section.empty()) return true;
    return false;
}

}  // namespace

std::string ProgramName(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0));
}

UninstallResult UninstallFromSavedFile(RemovalContext& c, const std::string& path, InUseDll& dll) {
    UninstallResult result;
    Services& s = c.services;
    const bool nt = s.system.platformId() == VER_PLATFORM_WIN32_NT;
    const std::string program = ProgramName(path);
    if (c.prompt.messageBox({Icon::Information, Buttons::YesNo, 1, "Confirm Korvex! Uninstall",
                             "Are you sure you want to remove " + program + " and and all of its components?"}) !=
        Answer::Yes)
        return result;

    const std::optional<SavedData> data = readDataFile(s.files, path);
    if (!data) {
        c.prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Error opening file",
                             "This is not a valid Korvex! data file. The file may be corrupted."});
        result.outcome = UninstallOutcome::NotValid;
        return result;
    }
    if ((!data->registry.empty() || hasLines(*data)) && RegistryInUse(c)) {
        result.outcome = UninstallOutcome::RegistryInUse;
        return result;
    }
    c.prompt.busy(true);
    SavedData leftover;
    dll.DeleteAllDlls = false;

    // Files and folders.
    std::vector<std::string> list;
    bool refusedFiles = false;
    for (const std::string& entry : data->files) {
        c.prompt.yield();
        if (auto why = PathRefusal(entry)) {
            result.refusals.push_back({entry, *why});
            leftover.files.push_back(entry);
            refusedFiles = true;
            continue;
        }
        if (s.files.info(entry).exists) AskSharedDll(c, dll, entry, list);
    }
    RemoveReport report;
    const bool fileResult =
        list.empty() ||
        RemoveFiles(c, list, FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_ALLOWUNDO, RemovalMode::Quiet, &report);
    bool unscheduledLeft = refusedFiles;
    if (!fileResult) {
        for (const std::string& p : list) {
            if (!s.files.info(p).exists) continue;
            leftover.files.push_back(p);
            if (std::find(report.scheduled.begin(), report.scheduled.end(), p) == report.scheduled.end())
                unscheduledLeft = true;
        }
    }
    for (const Refusal& r : report.refusals) result.refusals.push_back(r);
    for (const Refusal& r : s.shell.takeRefusals()) result.refusals.push_back(r);
    if (!result.refusals.empty()) unscheduledLeft = true;

    // Registry keys.
    bool registryFailed = false;
    const std::vector<KeyResult> keys = RemoveKeys(c, data->registry, result.refusals);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == KeyResult::Failed || keys[i] == KeyResult::Refused) {
            leftover.registry.push_back(data->registry[i]);
            registryFailed = true;
        }
    }

    // System text files.
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string file = SystemFilePath(s.system, static_cast<SavedSystemFile>(i));
        for (const SavedLine& line : data->lines[i]) {
            if (line.wellFormed) RemoveLine(c, file, line.added, line.replaced);
            else result.refusals.push_back({line.added.substr(0, 200), "not a line entry of a saved data file"});
        }
    }

    const std::string leftoverPath = WindowsDriveRoot(s.system) + std::string(kLeftoverFile);
    WriteSavedFile(s.files, leftoverPath, leftover);
    forgetRecentFile(c.registry, path);
    c.prompt.busy(false);

    const bool filesOk = fileResult && !refusedFiles;
    std::string text;
    Icon icon = Icon::Exclamation;
    if (filesOk && !registryFailed) {
        result.outcome = UninstallOutcome::Uninstalled;
        text = program + " has been uninstalled.";
        icon = Icon::None;
    } else if (nt && !registryFailed && !unscheduledLeft) {
        result.outcome = UninstallOutcome::FilesAtRestart;
        text = "Uninstall completed. Some files could not be removed because they may be in use. These files will "
               "be deleted when you restart your computer.";
    } else if (nt) {
        result.outcome = UninstallOutcome::ItemsLeft;
        text = "Uninstall completed. Some items could not be removed because they may be in use. You should "
               "manually remove items related to the application. See the *.kvu file for items that could not be "
               "removed.";
    } else {
        result.outcome = UninstallOutcome::FilesLeft95;
        text = "Uninstall completed. Some files could not be removed because they may be in use. You should "
               "manually remove items related to the application. See the *.kvu file for items that could not be "
               "removed.";
    }
    // The leftover file takes the data file's place in one rename, so the data file
    // is never missing while something it lists remains.
    if (result.outcome == UninstallOutcome::ItemsLeft || result.outcome == UninstallOutcome::FilesLeft95) {
        if (!s.files.moveFile(leftoverPath, path)) s.files.deleteFile(leftoverPath);
    } else {
        s.files.deleteFile(path);
        s.files.deleteFile(leftoverPath);
    }
    c.prompt.messageBox({icon, Buttons::OK, 1, std::string(kCompleteTitle), text});
    return result;
}

void ChangesFromSavedFile(RemovalContext& c, const std::string& path) {
    std::string text;
    const FileInfo info = c.services.files.info(path);
    if (info.size <= kMaxSavedFileBytes) c.services.files.readFile(path, text);
    const SavedData data = ParseSavedFile(text);
    ChangeLists lists;
    for (const std::string& entry : data.files) {
        c.prompt.yield();
        FolderChange change;
        if (c.services.files.info(entry).isFolder) {
            change.newFolder = true;
            change.folder = entry + "\\";
        } else {
            const std::size_t slash = entry.rfind('\\');
            change.folder = slash == std::string::npos ? std::string() : entry.substr(0, slash + 1);
            change.files.push_back(slash == std::string::npos ? entry : entry.substr(slash + 1));
        }
        lists.folders.push_back(std::move(change));
    }
    for (const std::string& entry : data.registry) {
        const std::size_t slash = entry.find('\\');
        if (slash == std::string::npos) continue;
        (ContainsNoCase(entry, "HKEY_CURRENT") ? lists.hkcuKeys : lists.hklmKeys).push_back(entry.substr(slash + 1));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        SystemFileChange section;
        section.header = std::string(kSavedLineHeaders[i]);
        for (const SavedLine& line : data.lines[i]) {
            section.added.push_back(line.added);
            section.replaced.push_back(line.replaced);
        }
        lists.systemFiles.push_back(std::move(section));
    }
    lists.hkcuFileExists = true;
    WriteChangeLists(c.services.files, WindowsDriveRoot(c.services.system), lists);
}

UninstallPlan PlanUninstall(RemovalContext& c, const std::string& path) {
    UninstallPlan plan;
    Services& s = c.services;
    const std::optional<SavedData> data = readDataFile(s.files, path);
    if (!data) return plan;
    plan.valid = true;
    // The removal layer's rules: the machine's structure, then what the shell finds on
    // the disk (links leading out, places outside the machine) without touching anything.
    RemovalGuard guard(MachineLayout::Of(s.system));
    guard.protect(c.dataFolder);
    for (const std::string& entry : data->files) {
        PlannedItem item;
        item.name = entry;
        if (auto why = PathRefusal(entry)) {
            item.refusal = *why;
        } else if (std::string refused = guard.check(entry); !refused.empty()) {
            item.refusal = refused;
        } else if (std::string onDisk = s.shell.refusalFor(entry); !onDisk.empty()) {
            item.refusal = onDisk;
        } else {
            const FileInfo info = s.files.info(entry);
            item.exists = info.exists;
            item.isFolder = info.isFolder;
            item.bytes = info.isFolder ? static_cast<std::uint64_t>(FolderSize(s.files, entry)) : info.size;
        }
        plan.files.push_back(std::move(item));
    }
    for (const std::string& entry : data->registry) {
        PlannedItem item;
        item.name = entry;
        const KeyName key = SplitKeyName(entry);
        if (auto why = KeyRefusal(key)) {
            item.refusal = *why;
        } else {
            HKEY h = 0;
            item.exists = s.registry.openKey(key.hive, key.path, KEY_READ, &h) == ERROR_SUCCESS && h;
            if (h) s.registry.closeKey(h);
            if (item.exists) item.subKeys = countSubKeys(s.registry, key.hive, key.path, 0);
        }
        plan.keys.push_back(std::move(item));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string file = SystemFilePath(s.system, static_cast<SavedSystemFile>(i));
        std::string text;
        s.files.readFile(file, text);
        const std::vector<std::string> lines = SplitLines(text);
        for (const SavedLine& line : data->lines[i]) {
            PlannedItem item;
            item.name = line.added;
            item.detail = line.replaced;
            item.file = file;
            item.exists = std::find(lines.begin(), lines.end(), line.added) != lines.end();
            plan.lines.push_back(std::move(item));
        }
    }
    return plan;
}

}  // namespace korvex
