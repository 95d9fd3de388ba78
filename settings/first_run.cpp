#include "settings/first_run.h"

#include <initializer_list>
#include <utility>

#include "platform/folders.h"
#include "settings/settings_keys.h"

namespace korvex {
namespace {

using Pairs = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// Creates the key below HKEY_CURRENT_USER and sets the given values in it.
void writeAll(RegistryAccess& access, std::string_view keyPath, Pairs values) {
    HKEY key = access.CreateKey(HKEY_CURRENT_USER, keyPath);
    for (const auto& [name, text] : values) access.SetValue(key, name, text);
    access.CloseKey(key);
}

std::string collectCacheFolders(Services& services, Prompt* prompt) {
    const std::string programFiles = ProgramFilesFolder(services.system);
    if (programFiles.empty()) return "";
    const std::string base = programFiles + "Netscape\\Users\\";
    std::string result;
    services.files.listFolder(base.substr(0, base.size() - 1), [&](std::string_view name, bool isFolder) {
        if (isFolder) {
            result += base;
            result += name;
            result += "\\cache\\";
            result += kListSeparator;
        }
        if (prompt) prompt->yield();
    });
    return result;
}

// Step 2: the scheduler starts with Windows unless the user emptied its entry.
std::string registerSchedulerStart(RegistryAccess& access, const std::string& program) {
    HKEY run = access.OpenKey(HKEY_CURRENT_USER, settings::kRunKey);
    if (run == 0) run = access.CreateKey(HKEY_CURRENT_USER, settings::kRunKey);
    std::string enabled = "1";
    std::uint32_t type = 0;
    std::string data;
    if (run != 0 && access.registry().queryValue(run, settings::kRunValue, &type, &data) == ERROR_SUCCESS) {
        enabled = access.QueryValue(run, settings::kRunValue).empty() ? "0" : "1";
    } else {
        access.SetValue(run, settings::kRunValue, program + std::string(settings::kSchedulerProgram));
    }
    access.CloseKey(run);
    return enabled;
}

void registerFileType(RegistryAccess& access, const std::string& program) {
    const std::string type(settings::kFileTypeKey);
    access.SetKeyDefault(HKEY_CLASSES_ROOT, settings::kFileExtension, REG_SZ, type);

    access.CloseKey(access.CreateKey(HKEY_CLASSES_ROOT, type));
    access.SetKeyDefault(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", REG_SZ,
                         program + std::string(settings::kIconFile));

    access.CloseKey(access.CreateKey(HKEY_CLASSES_ROOT, type + "\\Shell"));
    access.CloseKey(access.CreateKey(HKEY_CLASSES_ROOT, type + "\\Shell\\Uninstall"));
    const std::string command = "\"" + program + std::string(settings::kProgramFile) + "\" \"%1\"";
    access.SetKeyDefault(HKEY_CLASSES_ROOT, type + "\\Shell\\Uninstall\\Command", REG_SZ, command);
    // Where Windows opens a document with its only verb, Wine's "start" and its file
    // manager ask for "open" and nothing else: the same command under that name too.
    access.CloseKey(access.CreateKey(HKEY_CLASSES_ROOT, type + "\\Shell\\open"));
    access.SetKeyDefault(HKEY_CLASSES_ROOT, type + "\\Shell\\open\\Command", REG_SZ, command);
}

}  // namespace

std::string ProgramFolderWithSlash(System& system) {
    std::string folder = system.programFolder();
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string NetscapeCacheFolders(Services& services) { return collectCacheFolders(services, nullptr); }

std::string NetscapeCacheFolders(Services& services, Prompt& prompt) {
    return collectCacheFolders(services, &prompt);
}

std::string DefaultFoldersToIgnore(Services& services) {
    System& system = services.system;
    const std::string windows = WindowsFolder(system);
    std::string list;
    auto add = [&list](const std::string& folder) {
        list += folder;
        list += kListSeparator;
    };
    add(windows + "Applog\\");
    add(RecentFolder(system));
    add(TempFolder(system));
    add(InternetCacheFolder(system));
    add(FavoritesFolder(system));
    add(CookiesFolder(system));
    add(AppDataFolder(system));
    // The cache folders bring their own separators; one more closes the group, so
    // the list always holds an entry here, empty without any such folder.
    add(NetscapeCacheFolders(services));
    add(windows + "Prefetch\\");
    add(HistoryFolder(system));
    return list;
}

void WriteFirstRunDefaults(Services& services, RegistryAccess& access) {
    System& system = services.system;
    const std::string program = ProgramFolderWithSlash(system);
    const std::string driveRoot = WindowsDriveRoot(system);

    const std::string enabled = registerSchedulerStart(access, program);

    writeAll(access, settings::kGeneralKey, {{"DefaultPath", program},
                                             {"DeleteMode", "0"},
                                             {"DriveName", driveRoot},
                                             {"OpenSavePath", program + "Uninstall logs"}});

    writeAll(access, settings::kScanningKey, {{"AutoUpdateDb", "1"},
                                              {"AutoexecScan", "1"},
                                              {"ConfigSysScan", "1"},
                                              {"RegScan", "1"},
                                              {"RegFullScan", "1"},
                                              {"ScanMode", "0"},
                                              {"SystemIniScan", "1"},
                                              {"WinIniScan", "1"},
                                              {"FoldersToIgnore", DefaultFoldersToIgnore(services)}});

    writeAll(access, settings::kSchedulerKey, {{"Enabled", enabled},
                                               {"TempFiles", "1"},
                                               {"TempFolders", "1"},
                                               {"DLLFiles", "0"},
                                               {"Defragmentor", "0"},
                                               {"ScanDisk", "0"},
                                               {"ChangesStartup", "0"},
                                               {"SetupRan", "0"},
                                               {"Drive", driveRoot},
                                               {"DriveName", driveRoot},
                                               {"Weekly", "2"},
                                               {"Done", "0"},
                                               {"SetupDetect", "1"},
                                               {"OldDel", "0"},
                                               {"OldDelDays", "7"}});

    writeAll(access, settings::kSysCleanKey, {{"AlsoScanFiles", ""},
                                              {"AlsoScanFolders", ""},
                                              {"Bak files", "1"},
                                              {"Chk files", "1"},
                                              {"Chklist files", "1"},
                                              {"Dollar files", "1"},
                                              {"Fts files", "1"},
                                              {"Gid files", "1"},
                                              {"Log files", "1"},
                                              {"Mscreate files", "0"},
                                              {"Old files", "1"},
                                              {"PrevCompressed Files", "1"},
                                              {"Tidle files", "1"},
                                              {"Tmp files", "1"},
                                              {"RecycleBin", "0"},
                                              {"CacheFolder", "0"},
                                              {"TempFolder", "1"},
                                              {"Same Date Time", "1"},
                                              {"Same Size", "1"},
                                              {"Skip Sysbckup", "1"},
                                              {"Skip Zero Length", "1"}});

    registerFileType(access, program);
}

}  // namespace korvex
