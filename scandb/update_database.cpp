#include "scandb/update_database.h"

#include <algorithm>
#include <memory>

#include "platform/folders.h"
#include "platform/machine_in_use.h"
#include "platform/registry_access.h"
#include "scandb/registry_dump.h"
#include "scandb/scan_files.h"
#include "scandb/walk_folder.h"
#include "settings/drive_list.h"
#include "settings/settings_keys.h"

namespace korvex::scandb {

namespace {

// Writes nothing; stands in when the work file cannot be created, so the walk still
// shows progress and obeys the stop flag.
class NullOutput : public OutputFile {
public:
    void write(std::string_view) override {}
    bool close() override { return false; }
};

// Moves a finished work file over its scan database file and hides it. A work file
// that another process holds open is left where it is, and the old file stays.
void MoveIntoPlace(FileSystem& files, const std::string& workFile, const std::string& target) {
    if (IsFileInUse(files, workFile)) return;
    if (files.moveFile(workFile, target)) HideScanFile(files, target);
}

// Walks one drive into the work file and, unless stopped, moves it into the data
// folder. Returns false when stopped.
bool UpdateDrive(Services& services, Prompt& prompt, const std::string& workFile, char letter,
                 const std::string& dataFolder, const bool& stop) {
    std::unique_ptr<OutputFile> out = services.files.createFile(workFile);
    NullOutput nowhere;
    OutputFile& sink = out ? *out : static_cast<OutputFile&>(nowhere);
    const std::string root{letter, ':', '\\'};
    WalkFolder(services.files, prompt, root, sink, stop);
    const bool written = sink.close();
    out.reset();
    if (stop) {
        services.files.deleteFile(workFile);
        return false;
    }
    if (written)
        MoveIntoPlace(services.files, workFile, dataFolder + DriveListName(letter));
    else
        services.files.deleteFile(workFile);  // never let an incomplete list pass for a scan
    return true;
}

struct SystemFileCopy {
    bool inDriveRoot;  // else in the Windows folder
    std::string_view source;
    std::string_view copy;
    std::string_view setting;
};

constexpr SystemFileCopy kSystemFiles[] = {
    {true, "autoexec.bat", kAutoexecCopy, "AutoexecScan"},
    {true, "config.sys", kConfigSysCopy, "ConfigSysScan"},
    {false, "win.ini", kWinIniCopy, "WinIniScan"},
    {false, "system.ini", kSystemIniCopy, "SystemIniScan"},
};

// Copies the four system text files over their copies in the data folder. A missing
// source keeps its old copy and turns its comparison off, so Find changes does not
// report every line of the old copy as gone.
void CopySystemFiles(Services& services, RegistryAccess& registry, const std::string& dataFolder) {
    const std::string driveRoot = WindowsDriveRoot(services.system);
    const std::string windowsFolder = WindowsFolder(services.system);
    HKEY scanning = 0;
    bool opened = false;
    for (const SystemFileCopy& file : kSystemFiles) {
        const std::string& folder = file.inDriveRoot ? driveRoot : windowsFolder;
        const std::string source = folder.empty() ? std::string() : folder + std::string(file.source);
        const FileInfo info = source.empty() ? FileInfo{} : services.files.info(source);
        if (info.exists && !info.isFolder) {
            const std::string copy = dataFolder + std::string(file.copy);
            if (services.files.copyFile(source, copy)) HideScanFile(services.files, copy);
        } else {
            if (!opened) {
                scanning = registry.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
                opened = true;
            }
            registry.SetValue(scanning, file.setting, "0");
        }
    }
    if (scanning != 0) registry.CloseKey(scanning);
}

}  // namespace

UpdateOutcome UpdateDatabase(Services& services, Prompt& prompt, const UpdateRequest& request,
                             const bool& stop) {
    if (!WaitForFreeMachine(services.system, prompt)) return UpdateOutcome::MachineInUse;
    FileSystem& files = services.files;
    std::string workFolder = WindowsDriveRoot(services.system);
    if (workFolder.empty()) workFolder = request.dataFolder.substr(0, 3);  // no Windows folder known
    const std::string driveWork = workFolder + std::string(kDriveWorkFile);

    for (char letter : DriveLetters(request.drives)) {
        if (!UpdateDrive(services, prompt, driveWork, letter, request.dataFolder, stop))
            return UpdateOutcome::Stopped;
        if (request.driveDone) request.driveDone();
    }
    files.deleteFile(driveWork);

    RegistryAccess registry(services.registry, prompt);

    prompt.status("Updating System Files database...");
    prompt.yield();
    CopySystemFiles(services, registry, request.dataFolder);

    prompt.status("Updating Registry Information database...");
    prompt.yield();
    const std::string userWork = workFolder + std::string(kUserKeyWorkFile);
    const std::string machineWork = workFolder + std::string(kMachineKeyWorkFile);
    if (DumpRegistryTree(registry, files, prompt, HKEY_CURRENT_USER, "", userWork, stop, "") == 0) {
        files.deleteFile(userWork);
        return UpdateOutcome::Stopped;
    }
    if (DumpRegistryTree(registry, files, prompt, HKEY_LOCAL_MACHINE, "", machineWork, stop,
                         kMachineExcludedKey) == 0) {
        files.deleteFile(userWork);
        files.deleteFile(machineWork);
        return UpdateOutcome::Stopped;
    }
    // The two key lists are compared as a pair: replace both or neither (a dump whose
    // output could not be written has deleted it).
    if (files.info(userWork).exists && files.info(machineWork).exists) {
        MoveIntoPlace(files, userWork, request.dataFolder + std::string(kUserKeyList));
        MoveIntoPlace(files, machineWork, request.dataFolder + std::string(kMachineKeyList));
    } else {
        files.deleteFile(userWork);
        files.deleteFile(machineWork);
    }

    services.system.beep();
    return UpdateOutcome::Completed;
}

}  // namespace korvex::scandb
