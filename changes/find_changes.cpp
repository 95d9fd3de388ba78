// The find-changes driver: the order of the steps of one run and its work files.
#include "changes/find_changes.h"

#include <algorithm>
#include <memory>

#include "changes/change_lists.h"
#include "changes/file_compare.h"
#include "changes/registry_compare.h"
#include "changes/run_hooks.h"
#include "changes/scan_folder.h"
#include "changes/text_compare.h"
#include "changes/work_files.h"
#include "platform/folders.h"
#include "platform/machine_in_use.h"
#include "platform/types.h"
#include "removal/kept_findings.h"
#include "scandb/registry_dump.h"
#include "scandb/scan_files.h"
#include "settings/settings_keys.h"

namespace korvex {

void FindProgress::report() {
    if (onChange)
        onChange(position_, maximum_);
    else if (prompt)
        prompt->progress(static_cast<std::uint64_t>(position_), static_cast<std::uint64_t>(maximum_));
}

void FindProgress::setMaximum(double maximum) {
    if (maximum < position_ || maximum < 0) return;
    maximum_ = maximum;
    report();
}

void FindProgress::setPosition(double position) {
    if (position < 0 || position > maximum_) return;
    position_ = position;
    report();
}

std::string MissingDatabaseText(char driveLetter) {
    return std::string("No scan database found for drive ") + driveLetter +
           ":\\ To find changes in this drive, first create a scan database by clicking on the "
           "Update Database button in the main window.";
}

namespace {

// The copy of the progress window: nothing when the source is in use or missing.
void copyFileShell(FileSystem& files, const std::string& from, const std::string& to) {
    if (IsFileInUse(files, from)) return;
    if (!IsExistingFile(files, from)) return;
    files.copyFile(from, to);
}

// The move of the progress window, replacing the destination: nothing when the source
// is in use; a failed move leaves both files as they were.
// False when the move was tried and failed.
bool moveFileShell(FileSystem& files, const std::string& from, const std::string& to) {
    if (IsFileInUse(files, from)) return true;
    return files.moveFile(from, to);
}

// The scan database file that could not be refreshed first, and why ("" while none).
struct DatabaseFailure {
    std::string path;
    std::string reason;
    void note(FileSystem& files, const std::string& target) {
        if (!path.empty()) return;
        path = target;
        reason = files.lastError();
    }
};

// Scan database files are hidden once they are in place. A work file that could not
// be moved is deleted: it never stays in the drive root.
void moveIntoDatabase(FileSystem& files, const std::string& from, const std::string& to, DatabaseFailure& failure) {
    if (!moveFileShell(files, from, to)) {
        failure.note(files, to);
        files.deleteFile(from);
    }
    if (!files.info(from).exists && IsExistingFile(files, to)) scandb::HideScanFile(files, to);
}

void copyIntoDatabase(FileSystem& files, const std::string& from, const std::string& to, DatabaseFailure& failure) {
    if (IsFileInUse(files, from) || !IsExistingFile(files, from)) return;
    if (files.copyFile(from, to))
        scandb::HideScanFile(files, to);
    else
        failure.note(files, to);
}

std::string readScanning(RegistryAccess& registry, HKEY key, std::string_view name) {
    return key ? registry.QueryValue(key, name) : std::string();
}

std::string walkRootOf(std::string_view drives) { return std::string(drives.substr(0, 2)) + "\\"; }

// One run of Find changes after the scan databases were found.
class FindRun {
public:
    FindRun(Services& services, RegistryAccess& registry, Prompt& prompt, const std::string& dataFolder,
            std::string drives, const bool& stop, FindProgress& progress)
        : services_(services),
          files_(services.files),
          registry_(registry),
          prompt_(prompt),
          data_(dataFolder),
          drives_(std::move(drives)),
          stop_(stop),
          progress_(progress),
          root_(WindowsDriveRoot(services.system)) {
        hooks_.prompt = &prompt;
        hooks_.stop = &stop;
        hooks_.progress = &progress;
    }

    FindOutcome run() {
        const bool autoUpdate = setting("AutoUpdateDb") == "1";

        // The first walk, and with "ScanMode" "1" the second, into "current.kvd".
        auto current = files_.createFile(rootPath(work::kCurrentList));
        std::string drives = drives_;
        std::string walkRoot = walkRootOf(drives);
        std::string ignore = BuildIgnoreList(services_.system, walkRoot, "");
        // Korvex's own copies of earlier findings are not changes of the machine.
        ignore += data_ + std::string(kFoundChangesFolder) + "\\" + kListSeparator;
        std::string scanMode;
        bool secondWalk = false;
        if (HKEY key = registry_.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey)) {
            ignore += registry_.QueryValue(key, "FoldersToIgnore");
            scanMode = registry_.QueryValue(key, "ScanMode");
            if (scanMode == "1") {
                secondWalk = true;
                walkRoot = WindowsFolder(services_.system);
            } else if (scanMode == "2") {
                walkRoot = WindowsFolder(services_.system);
            } else if (scanMode == "3") {
                walkRoot = ProgramFilesFolder(services_.system);
            }
            registry_.CloseKey(key);
        }
        double count = walk(walkRoot, current.get(), ignore);
        if (stop_) return cancel(current);
        progress_.setMaximum(count + 4 + 4 + 30 + 55);
        if (secondWalk) {
            progress_.setMaximum(progress_.maximum() - 4);
            count = walk(ProgramFilesFolder(services_.system), current.get(), ignore);
            progress_.setMaximum(progress_.maximum() + count);
        }
        if (stop_) return cancel(current);
        if (current) current->close();
        current.reset();

        // One numbered list per drive walked: 0 for the first, then the further drives
        // when every drive is scanned whole.
        if (drives.size() == 2) drives.clear();
        int index = 0;
        copyFileShell(files_, rootPath(work::kCurrentList), rootPath(work::NumberedList(0)));
        if (scanMode == "0") {
            while (drives.size() >= 2) {
                ++index;
                lastIndex_ = index;
                auto numbered = files_.createFile(rootPath(work::NumberedList(index)));
                drives.erase(0, std::min<std::size_t>(3, drives.size()));
                count = walk(walkRootOf(drives), numbered.get(), ignore);
                progress_.setMaximum(progress_.maximum() + count);
                if (stop_) return cancel(numbered);
                if (drives.size() == 2) drives.clear();
                if (numbered) numbered->close();
            }
        }
        rebuildCurrentList(index);
        if (stop_) return cancel();

        // Files and folders, then the system text files.
        if (CompareFolderLists(files_, root_, data_, drives_, hooks_))
            CompareSystemFiles(files_, services_.system, registry_, data_, root_, hooks_);
        if (stop_) return cancel();

        // The new lists replace the drives' databases only when whole drives were walked.
        // After a partial walk 0current.kvd stays in the root until the next run
        // overwrites it: it is not a drive's list and is never moved onto a database.
        if (scanMode == "0") {
            const std::vector<char> letters = DriveLetters(drives_);
            for (std::size_t i = 0; i < letters.size(); ++i) {
                const std::string numbered = rootPath(work::NumberedList(static_cast<int>(i)));
                if (autoUpdate)
                    moveIntoDatabase(files_, numbered, data_ + scandb::DriveListName(letters[i]), failure_);
                else
                    files_.deleteFile(numbered);
            }
        }

        if (!registrySteps(autoUpdate)) return cancel();
        progress_.setPosition(progress_.maximum());
        if (!failure_.path.empty()) {
            // The changes were found and are shown; only the refresh of the database failed.
            Message message;
            message.icon = Icon::Exclamation;
            message.buttons = Buttons::OK;
            message.title = "Error finding changes";
            message.text = "Korvex could not write " + failure_.path +
                           (failure_.reason.empty() ? "" : " (" + failure_.reason + ")") +
                           ", so the scan database in " + data_ +
                           " was not brought up to date: the next search also lists what this one found. Make the "
                           "folder writable, or choose another data folder in Options.";
            prompt_.messageBox(message);
        }
        return FindOutcome::Completed;
    }

private:
    std::string rootPath(std::string_view name) const { return root_ + std::string(name); }
    std::string dataPath(std::string_view name) const { return data_ + std::string(name); }

    std::string setting(std::string_view name) {
        HKEY key = registry_.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
        std::string value = readScanning(registry_, key, name);
        if (key) registry_.CloseKey(key);
        return value;
    }

    double walk(const std::string& walkRoot, OutputFile* out, std::string_view ignore) {
        double counter = 0;
        if (!out) {
            // A list that cannot be created is walked into nothing: the run goes on.
            struct Discard : OutputFile {
                void write(std::string_view) override {}
                bool close() override { return true; }
            } discard;
            return ScanFolder(files_, walkRoot, discard, ignore, counter, hooks_);
        }
        return ScanFolder(files_, walkRoot, *out, ignore, counter, hooks_);
    }

    // "current.kvd" again: the numbered lists 0 to last, line by line. The walks end
    // every line with CR LF, so a single list is copied as it is.
    void rebuildCurrentList(int last) {
        const std::string currentPath = rootPath(work::kCurrentList);
        files_.deleteFile(currentPath);
        if (last == 0 && IsExistingFile(files_, rootPath(work::NumberedList(0))) &&
            files_.copyFile(rootPath(work::NumberedList(0)), currentPath))
            return;
        auto out = files_.createFile(currentPath);
        if (!out) return;
        for (int i = 0; i <= last; ++i) {
            std::string text;
            if (!files_.readFile(rootPath(work::NumberedList(i)), text)) continue;
            if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
            out->write(text);
        }
        out->close();
    }

    // Steps 18 to 25: dump both hives, compare, refresh the saved dumps. False when stopped.
    bool registrySteps(bool autoUpdate) {
        std::string regScan, regFullScan;
        if (HKEY key = registry_.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey)) {
            regScan = registry_.QueryValue(key, "RegScan");
            regFullScan = registry_.QueryValue(key, "RegFullScan");
            registry_.CloseKey(key);
        }
        if (regScan != "1") return true;
        if (!IsExistingFile(files_, dataPath(scandb::kUserKeyList)) || !IsExistingFile(files_, dataPath(scandb::kMachineKeyList))) {
            Message message;
            message.icon = Icon::Critical;
            message.buttons = Buttons::OK;
            message.title = "Error scanning Registry";
            message.text =
                "Unable to find the Registry Information database. You may have to update "
                "the Scan Database again to find changes in the Registry.";
            prompt_.messageBox(message);
            return true;
        }
        const std::string_view start = regFullScan == "1" ? std::string_view() : std::string_view("Software");
        scandb::DumpRegistryTree(registry_, files_, prompt_, HKEY_CURRENT_USER, start, rootPath(work::kHkcuDump),
                                 stop_, "");
        if (stop_) return false;
        progress_.raise(10);
        scandb::DumpRegistryTree(registry_, files_, prompt_, HKEY_LOCAL_MACHINE, start,
                                 rootPath(work::kHklmDump), stop_, "Software\\Classes");
        if (stop_) return false;
        progress_.raise(10);
        RegFindChanges(files_, dataPath(scandb::kUserKeyList), rootPath(work::kHkcuDump), rootPath(kHkcuChangesFile),
                       hooks_);
        if (stop_) return false;
        progress_.raise(5);
        RegFindChanges(files_, dataPath(scandb::kMachineKeyList), rootPath(work::kHklmDump), rootPath(kHklmChangesFile),
                       hooks_);
        if (stop_) return false;
        progress_.raise(5);

        if (!autoUpdate) {
            files_.deleteFile(rootPath(work::kHkcuDump));
            files_.deleteFile(rootPath(work::kHklmDump));
            return true;
        }
        moveIntoDatabase(files_, rootPath(work::kHkcuDump), dataPath(scandb::kUserKeyList), failure_);
        moveIntoDatabase(files_, rootPath(work::kHklmDump), dataPath(scandb::kMachineKeyList), failure_);
        const std::string windows = WindowsFolder(services_.system);
        copyIntoDatabase(files_, windows + "win.ini", dataPath(scandb::kWinIniCopy), failure_);
        copyIntoDatabase(files_, windows + "system.ini", dataPath(scandb::kSystemIniCopy), failure_);
        copyIntoDatabase(files_, rootPath("Config.sys"), dataPath(scandb::kConfigSysCopy), failure_);
        copyIntoDatabase(files_, rootPath("Autoexec.bat"), dataPath(scandb::kAutoexecCopy), failure_);
        return true;
    }

    // Whatever the step, a cancelled run leaves none of its work files behind.
    FindOutcome cancel(std::unique_ptr<OutputFile>& open) {
        if (open) open->close();
        open.reset();
        return cancel();
    }

    FindOutcome cancel() {
        for (std::string_view name : {work::kCurrentList, work::kJoinedDatabase, kChangesFile, kSysChangesFile,
                                      work::kHkcuDump, work::kHklmDump, kHkcuChangesFile, kHklmChangesFile})
            files_.deleteFile(rootPath(name));
        const int lists = std::max<int>(lastIndex_ + 1, static_cast<int>(DriveLetters(drives_).size()));
        for (int i = 0; i < lists; ++i) files_.deleteFile(rootPath(work::NumberedList(i)));
        return FindOutcome::Cancelled;
    }

    Services& services_;
    FileSystem& files_;
    RegistryAccess& registry_;
    Prompt& prompt_;
    const std::string data_;
    const std::string drives_;  // the CurrentDrives text as given
    const bool& stop_;
    FindProgress& progress_;
    const std::string root_;
    RunHooks hooks_;
    int lastIndex_ = 0;
    DatabaseFailure failure_;
};

}  // namespace

bool CheckScanDatabases(FileSystem& files, Prompt& prompt, const std::string& dataFolder, std::string_view drives) {
    for (char letter : DriveLetters(drives)) {
        if (IsExistingFile(files, dataFolder + scandb::DriveListName(letter))) continue;
        Message message;
        message.icon = Icon::Exclamation;
        message.buttons = Buttons::OK;
        message.title = "Error finding changes";
        message.text = MissingDatabaseText(letter);
        prompt.messageBox(message);
        return false;
    }
    return true;
}

FindOutcome FindChanges(Services& services, RegistryAccess& registry, Prompt& prompt, const std::string& dataFolder,
                        std::string drives, const bool& stop, FindProgress& progress) {
    if (!progress.prompt) progress.prompt = &prompt;
    if (!WaitForFreeMachine(services.system, prompt)) return FindOutcome::MachineInUse;
    if (!CheckScanDatabases(services.files, prompt, dataFolder, drives)) return FindOutcome::MissingDatabase;
    return FindRun(services, registry, prompt, dataFolder, std::move(drives), stop, progress).run();
}

}  // namespace korvex
