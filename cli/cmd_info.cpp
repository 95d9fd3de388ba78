// korvex-cli info: what Korvex sees of the machine, to check a setup at a glance.
#include <cstdio>
#include <string>

#include "cli/local_commands.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "settings/drive_list.h"
#include "settings/startup.h"

namespace korvex::cli {
namespace {

std::string read(RegistryAccess& access, HKEY root, const char* key, const char* name) {
    const HKEY handle = access.OpenKey(root, key);
    std::string text = access.QueryValue(handle, name);
    access.CloseKey(handle);
    return text;
}

std::string versionText(Context& context, RegistryAccess& access) {
    const bool nt = context.services.system.platformId() == VER_PLATFORM_WIN32_NT;
    std::string text;
    if (nt) {
        const char* key = "Software\\Microsoft\\Windows NT\\CurrentVersion";
        text = read(access, HKEY_LOCAL_MACHINE, key, "ProductName");
        const std::string number = read(access, HKEY_LOCAL_MACHINE, key, "CurrentVersion");
        const std::string build = read(access, HKEY_LOCAL_MACHINE, key, "CurrentBuild");
        if (!number.empty()) text += (text.empty() ? "" : " ") + ("version " + number);
        if (!build.empty()) text += " build " + build;
    } else {
        const char* key = "Software\\Microsoft\\Windows\\CurrentVersion";
        text = read(access, HKEY_LOCAL_MACHINE, key, "Version");
        const std::string number = read(access, HKEY_LOCAL_MACHINE, key, "VersionNumber");
        if (!number.empty()) text += (text.empty() ? "" : " ") + ("version " + number);
    }
    const std::string wineSetting = read(access, HKEY_CURRENT_USER, "Software\\Wine", "Version");
    if (!wineSetting.empty()) text += (text.empty() ? "" : ", ") + ("Wine setting " + wineSetting);
    if (text.empty()) text = "unknown version";
    return text + (nt ? " (NT family)" : " (Windows 95 family)");
}

const char* driveTypeName(unsigned type) {
    switch (type) {
        case DRIVE_REMOVABLE: return "removable";
        case DRIVE_FIXED: return "fixed disk";
        case DRIVE_REMOTE: return "network";
        case DRIVE_CDROM: return "CD-ROM";
        case DRIVE_RAMDISK: return "RAM disk";
        default: return "unknown";
    }
}

void line(const char* name, const std::string& value) {
    std::printf("%-22s %s\n", name, value.empty() ? "(none)" : value.c_str());
}

}  // namespace

int cmdInfo(Context& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "korvex-cli info: unexpected argument '%s'\nUsage: korvex-cli [--machine DIR] info\n",
                     args.front().c_str());
        return 2;
    }
    System& system = context.services.system;
    RegistryAccess access(context.services.registry, context.prompt);

    line("Machine:", context.machineDir);
    line("Windows:", versionText(context, access));

    std::printf("Drives:\n");
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const unsigned type = system.driveType(letter);
        if (type == DRIVE_NO_ROOT_DIR) continue;
        const std::string label = system.volumeLabel(letter);
        const std::string host = system.hostPath(std::string(1, letter) + ":\\");
        std::printf("  %c:  %-10s  label \"%s\"%s%s\n", letter, driveTypeName(type), label.c_str(),
                    host.empty() ? "" : "  ", host.c_str());
    }
    std::printf("Drive list:\n");
    for (const std::string& entry : FillDriveList(system)) {
        std::printf("  %-28s %s\n", entry.c_str(),
                    LastScanText(context.services, context.dataFolder, CurrentDrives(entry)).c_str());
    }

    line("Windows folder:", WindowsFolder(system));
    line("System folder:", SystemFolder(system));
    line("Program Files folder:", ProgramFilesFolder(system));
    line("AppData folder:", AppDataFolder(system));
    line("Cookies folder:", CookiesFolder(system));
    line("Internet cache folder:", InternetCacheFolder(system));
    line("Recent folder:", RecentFolder(system));
    line("Favorites folder:", FavoritesFolder(system));
    line("History folder:", HistoryFolder(system));
    line("Temp folder:", TempFolder(system));
    line("Windows drive root:", WindowsDriveRoot(system));
    line("Program folder:", system.programFolder());
    line("Data folder:", context.dataFolder);
    return 0;
}

}  // namespace korvex::cli
