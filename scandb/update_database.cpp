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

// The first file of the run that could not be written, and why; empty while all went well.
struct Failure {
    std::string path;
    std::string reason;
    bool failed() const { return !path.empty(); }
};

void noteFailure(Failure& failure, FileSystem& files, const std::string& path) {
    if (failure.failed()) return;
    failure.path = path;
    failure.reason = files.lastError();
}

std::string withReason(const std::string& text, const std::string& reason) {
    return reason.empty() ? text : text + " (" + reason + ")";
}

void showFailure(Prompt& prompt, const std::string& text) {
    Message message;
    message.icon = Icon::Exclamation;
    message.buttons = Buttons::OK;
    message.title = "Error updating database";
    message.text = text;
    prompt.messageBox(message);
}

constexpr std::string_view kWhatToDo =
    "Make the folder writable, or choose another data folder in Options, then update the database again.";

// A scan database that cannot be written must not be walked for nothing and reported
// as done: try a small file in the data folder before the run begins.
bool CheckDataFolder(FileSystem& files, Prompt& prompt, const std::string& dataFolder) {
    const std::string probe = dataFolder + "korvex-write-test.tmp";
    std::unique_ptr<OutputFile> out = files.createFile(probe);
    std::string reason = out ? std::string() : files.lastError();
    bool ok = out != nullptr;
    if (out) {
        out->write("Korvex\r\n");
        ok = out->close();
        if (!ok) reason = files.lastError();
        out.reset();
        files.deleteFile(probe);
    }
    if (ok) return true;
    if (!files.info(dataFolder).exists) reason = "the folder does not exist";
    showFailure(prompt, withReason("Korvex cannot write in its data folder " + dataFolder, reason) +
                            ", so the scan database was not updated. Nothing was changed. " + std::string(kWhatToDo));
    return false;
}

// Moves a finished work file over its scan database file and hides it. A work file
// that another process holds open is left where it is, and the old file stays.
void MoveIntoPlace(FileSystem& files, const std::string& workFile, const std::string& target, Failure& failure) {
    if (IsFileInUse(files, workFile)) return;
    if (files.moveFile(workFile, target))
        HideScanFile(files, target);
    else
        noteFailure(failure, files, target);
    files.deleteFile(workFile);  // never left behind in the drive root
}

// Walks one drive into the work file and, unless stopped, moves it into the data
// folder. Returns false when stopped.
bool UpdateDrive(Services& services, Prompt& prompt, const std::string& workFile, char letter,
                 const std::string& dataFolder, const bool& stop, Failure& failure) {
    std::unique_ptr<OutputFile> out = services.files.createFile(workFile);
    if (!out) noteFailure(failure, services.files, workFile);
    NullOutput nowhere;
    OutputFile& sink = out ? *out : static_cast<OutputFile&>(nowhere);
    const std::string root{letter, ':', '\\'};
    WalkFolder(services.files, prompt, root, sink, stop);
    const bool written = sink.close();
    if (out && !written) noteFailure(failure, services.files, workFile);
    out.reset();
    if (stop) {
        services.files.deleteFile(workFile);
        return false;
    }
    if (written)
        MoveIntoPlace(services.files, workFile, dataFolder + DriveListName(letter), failure);
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
void CopySystemFiles(Services& services, RegistryAccess& registry, const std::string& dataFolder, Failure& failure) {
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
            if (services.files.copyFile(source, copy))
                HideScanFile(services.files, copy);
            else
                noteFailure(failure, services.files, copy);
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
    if (!CheckDataFolder(files, prompt, request.dataFolder)) return UpdateOutcome::Failed;
    std::string workFolder = WindowsDriveRoot(services.system);
    if (workFolder.empty()) workFolder = request.dataFolder.substr(0, 3);  // no Windows folder known
    const std::string driveWork = workFolder + std::string(kDriveWorkFile);
    const std::string userWork = workFolder + std::string(kUserKeyWorkFile);
    const std::string machineWork = workFolder + std::string(kMachineKeyWorkFile);
    Failure failure;
    // Whatever happens, no work file stays in the drive root.
    auto finish = [&](UpdateOutcome outcome) {
        for (const std::string* work : {&driveWork, &userWork, &machineWork}) files.deleteFile(*work);
        if (outcome == UpdateOutcome::Stopped || !failure.failed()) return outcome;
        showFailure(prompt, withReason("Korvex could not write " + failure.path, failure.reason) +
                                ", so the scan database in " + request.dataFolder +
                                " is not up to date. " + std::string(kWhatToDo));
        return UpdateOutcome::Failed;
    };

    for (char letter : DriveLetters(request.drives)) {
        if (!UpdateDrive(services, prompt, driveWork, letter, request.dataFolder, stop, failure))
            return finish(UpdateOutcome::Stopped);
        if (failure.failed()) return finish(UpdateOutcome::Failed);
        if (request.driveDone) request.driveDone();
    }

    RegistryAccess registry(services.registry, prompt);

    prompt.status("Updating System Files database...");
    prompt.yield();
    CopySystemFiles(services, registry, request.dataFolder, failure);
    if (failure.failed()) return finish(UpdateOutcome::Failed);

    prompt.status("Updating Registry Information database...");
    prompt.yield();
    if (DumpRegistryTree(registry, files, prompt, HKEY_CURRENT_USER, "", userWork, stop, "") == 0)
        return finish(UpdateOutcome::Stopped);
    if (DumpRegistryTree(registry, files, prompt, HKEY_LOCAL_MACHINE, "", machineWork, stop,
                         kMachineExcludedKey) == 0)
        return finish(UpdateOutcome::Stopped);
    // The two key lists are compared as a pair: replace both or neither (a dump whose
    // output could not be written has deleted it).
    if (files.info(userWork).exists && files.info(machineWork).exists) {
        MoveIntoPlace(files, userWork, request.dataFolder + std::string(kUserKeyList), failure);
        MoveIntoPlace(files, machineWork, request.dataFolder + std::string(kMachineKeyList), failure);
    } else {
        noteFailure(failure, files, files.info(userWork).exists ? machineWork : userWork);
    }
    if (failure.failed()) return finish(UpdateOutcome::Failed);

    services.system.beep();
    return finish(UpdateOutcome::Completed);
}

}  // namespace korvex::scandb
