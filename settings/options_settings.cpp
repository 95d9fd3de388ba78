#include "settings/options_settings.h"

#include <algorithm>

#include "platform/text.h"
#include "settings/drive_list.h"
#include "settings/first_run.h"
#include "settings/settings_keys.h"

namespace korvex {
namespace {

constexpr char kSeparator = '\x7f';

const char* flag(bool on) { return on ? "1" : "0"; }

// The entries of a character-127 list; the text after the last separator is not an
// entry.
std::vector<std::string> entries(std::string_view list) {
    std::vector<std::string> out;
    for (std::size_t start = 0, end; (end = list.find(kSeparator, start)) != std::string_view::npos; start = end + 1)
        out.emplace_back(list.substr(start, end - start));
    return out;
}

bool isNumeric(std::string_view text) {
    // Digits with an optional sign and one decimal point, as the spin box's text.
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') digit = true;
        else if (text[i] == '.' && !point) point = true;
        else return false;
    }
    return digit;
}

int dayNumber(std::string_view day) {
    for (int i = 0; i < 7; ++i)
        if (day == kDaysOfWeek[i]) return i + 1;
    return 2;
}

}  // namespace

OptionsState LoadOptions(Services& services, RegistryAccess& registry) {
    OptionsState o;
    o.driveEntries = FillDriveList(services.system);

    HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
    const std::string folders = registry.QueryValue(key, "FoldersToIgnore");
    const std::string scanMode = registry.QueryValue(key, "ScanMode");
    o.scanMode = scanMode == "1" ? 1 : scanMode == "2" ? 2 : scanMode == "3" ? 3 : 0;
    o.scanRegistry = registry.QueryValue(key, "RegScan") == "1";
    o.completeRegistry = registry.QueryValue(key, "RegFullScan") != "0";
    o.scanSystemFiles = registry.QueryValue(key, "WinIniScan") != "0";
    o.autoUpdateDb = registry.QueryValue(key, "AutoUpdateDb") != "0";
    registry.CloseKey(key);

    key = registry.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    const std::string deleteMode = registry.QueryValue(key, "DeleteMode");
    o.deleteMode = deleteMode == "1" ? 1 : deleteMode == "2" ? 2 : deleteMode == "3" ? 3 : 0;
    registry.CloseKey(key);

    key = registry.OpenKey(HKEY_CURRENT_USER, settings::kSchedulerKey);
    const std::string programs = registry.QueryValue(key, "WindowsToIgnore");
    const std::string programInfo = registry.QueryValue(key, "WindowsToIgnoreInfo");
    o.setupDetect = registry.QueryValue(key, "SetupDetect") != "0";
    o.tempFiles = registry.QueryValue(key, "TempFiles") != "0";
    o.tempFolders = registry.QueryValue(key, "TempFolders") != "0";
    o.dllFiles = registry.QueryValue(key, "DLLFiles") == "1";
    o.scanDisk = registry.QueryValue(key, "ScanDisk") == "1";
    o.defragment = registry.QueryValue(key, "Defragmentor") == "1";
    o.changesAtStartup = registry.QueryValue(key, "ChangesStartup") == "1";
    o.enableScheduler = registry.QueryValue(key, "Enabled") != "0";

    // A drop-down list shows a stored text only when it is one of its entries.
    const std::string driveName = registry.QueryValue(key, "DriveName");
    const auto entry = std::find_if(o.driveEntries.begin(), o.driveEntries.end(),
                                    [&](const std::string& e) { return EqualsNoCase(e, driveName); });
    o.driveText = entry == o.driveEntries.end() ? std::string() : *entry;

    if (registry.QueryValue(key, "EveryDay") == "1") o.timing = SchedulerTiming::EveryDay;
    const std::string monthly = registry.QueryValue(key, "Monthly");
    if (monthly.empty() || monthly == "0") {
        o.monthDays = "3";
    } else {
        o.timing = SchedulerTiming::Monthly;
        o.monthDays = monthly;
    }
    const std::string weekly = registry.QueryValue(key, "Weekly");
    if (weekly.empty() || weekly == "0") {
        o.dayOfWeek = "Monday";
    } else {
        o.timing = SchedulerTiming::Weekly;
        const int day = weekly.size() == 1 ? weekly[0] - '0' : 0;
        o.dayOfWeek = day >= 1 && day <= 7 ? std::string(kDaysOfWeek[day - 1]) : std::string();
    }
    o.oldDelete = registry.QueryValue(key, "OldDel") == "1";
    const std::string oldDays = registry.QueryValue(key, "OldDelDays");
    if (isNumeric(oldDays)) o.oldDeleteDays = oldDays;
    registry.CloseKey(key);

    for (const std::string& folder : entries(folders)) {
        if (folder.empty()) continue;
        const FileInfo info = services.files.info(folder);
        if (info.exists && info.isFolder) o.foldersToIgnore.push_back(folder);
    }

    const std::vector<std::string> names = entries(programs), info = entries(programInfo);
    auto at = [](const std::vector<std::string>& list, std::size_t i) { return i < list.size() ? list[i] : std::string(); };
    for (std::size_t i = 0; i < names.size(); i += 2)
        o.programs.push_back({names[i], at(info, i), at(info, i + 1), at(names, i + 1)});
    return o;
}

void SaveOptions(Services& services, RegistryAccess& registry, const OptionsState& o) {
    HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
    std::string folders;
    for (const std::string& folder : o.foldersToIgnore) folders += folder + kSeparator;
    registry.SetValue(key, "FoldersToIgnore", folders);
    registry.SetValue(key, "ScanMode", std::to_string(o.scanMode >= 1 && o.scanMode <= 3 ? o.scanMode : 0));
    registry.SetValue(key, "AutoUpdateDb", flag(o.autoUpdateDb));
    registry.SetValue(key, "RegScan", flag(o.scanRegistry));
    registry.SetValue(key, "RegFullScan", flag(o.completeRegistry));
    for (const char* name : {"WinIniScan", "SystemIniScan", "ConfigSysScan", "AutoexecScan"})
        registry.SetValue(key, name, flag(o.scanSystemFiles));
    registry.CloseKey(key);

    key = registry.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (key == 0) key = registry.CreateKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    registry.SetValue(key, "DeleteMode", std::to_string(o.deleteMode >= 1 && o.deleteMode <= 3 ? o.deleteMode : 0));
    registry.CloseKey(key);

    key = registry.OpenKey(HKEY_CURRENT_USER, settings::kSchedulerKey);
    registry.SetValue(key, "SetupDetect", flag(o.setupDetect));
    registry.SetValue(key, "TempFiles", flag(o.tempFiles));
    registry.SetValue(key, "TempFolders", flag(o.tempFolders));
    registry.SetValue(key, "DLLFiles", flag(o.dllFiles));
    registry.SetValue(key, "ScanDisk", flag(o.scanDisk));
    registry.SetValue(key, "Defragmentor", flag(o.defragment));
    registry.SetValue(key, "ChangesStartup", flag(o.changesAtStartup));
    registry.SetValue(key, "Enabled", flag(o.enableScheduler));
    registry.SetValue(key, "Drive", CurrentDrives(o.driveText));
    registry.SetValue(key, "DriveName", o.driveText);
    registry.SetValue(key, "EveryDay", flag(o.timing == SchedulerTiming::EveryDay));
    registry.SetValue(key, "Monthly", o.timing == SchedulerTiming::Monthly ? o.monthDays : "0");
    registry.SetValue(key, "Weekly", o.timing == SchedulerTiming::Weekly ? std::to_string(dayNumber(o.dayOfWeek)) : "0");
    registry.SetValue(key, "OldDel", flag(o.oldDelete));
    registry.SetValue(key, "OldDelDays", o.oldDeleteDays);
    std::string programs, programInfo;
    for (const IgnoredProgram& p : o.programs) {
        programs += p.name + kSeparator + p.size + kSeparator;
        programInfo += p.folder + kSeparator + p.added + kSeparator;
    }
    registry.SetValue(key, "WindowsToIgnore", programs);
    registry.SetValue(key, "WindowsToIgnoreInfo", programInfo);
    registry.CloseKey(key);

    if (o.enableScheduler) {
        key = registry.OpenKey(HKEY_CURRENT_USER, settings::kRunKey);
        if (key == 0) key = registry.CreateKey(HKEY_CURRENT_USER, settings::kRunKey);
        registry.SetValue(key, settings::kRunValue,
                          ProgramFolderWithSlash(services.system) + std::string(settings::kSchedulerProgram));
    } else {
        key = registry.OpenKey(HKEY_CURRENT_USER, settings::kRunKey);
        registry.DeleteValue(key, settings::kRunValue);
    }
    registry.CloseKey(key);
}

std::optional<std::string> FolderToAdd(std::string_view picked, const std::vector<std::string>& listed) {
    std::string folder(picked);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    if (folder == "\\" || folder.size() == 3) return std::nullopt;
    if (std::find(listed.begin(), listed.end(), folder) != listed.end()) return std::nullopt;
    return folder;
}

}  // namespace korvex
