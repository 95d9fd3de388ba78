#include "settings/startup.h"

#include "settings/first_run.h"
#include "settings/settings_keys.h"
#include "settings/support_files.h"

namespace korvex {

bool FolderExists(FileSystem& files, std::string_view path) {
    if (path.empty()) return false;
    FileInfo info = files.info(path);
    if (!info.exists && path.size() > 3 && path.back() == '\\') info = files.info(path.substr(0, path.size() - 1));
    return info.exists && info.isFolder;
}

std::string SettleDataFolder(Services& services, RegistryAccess& access) {
    const std::string program = services.system.programFolder();
    if (!program.empty() && !FolderExists(services.files, program)) services.files.createFolder(program);
    PlaceSupportFiles(services);

    std::string dataFolder;
    HKEY general = access.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (general != 0) {
        dataFolder = access.QueryValue(general, "DefaultPath");
        if (dataFolder.empty() || !FolderExists(services.files, dataFolder)) {
            access.SetValue(general, "DefaultPath", program);
            dataFolder = program;
        }
    } else {
        general = access.CreateKey(HKEY_CURRENT_USER, settings::kGeneralKey);
        access.SetValue(general, "DefaultPath", program);
        dataFolder = program;
        WriteFirstRunDefaults(services, access);
    }
    access.CloseKey(general);

    // The removal layer keeps the data folder itself (its contents stay removable).
    if (!dataFolder.empty()) services.shell.protectFolder(dataFolder);
    if (dataFolder.empty() || dataFolder.back() != '\\') dataFolder += '\\';
    return dataFolder;
}

}  // namespace korvex
