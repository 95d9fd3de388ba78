// korvex-cli find: the find-changes run without its windows. The run is the same
// driver the progress window starts, with the settings as they are; instead of the
// found-changes window the lists are loaded the same way (which deletes the change
// list files, unless --keep-lists) and printed, and --save writes them all to a saved
// uninstall data file. Ctrl-C stops the run the way closing the progress window does:
// the run's work files are deleted and nothing is printed.
#include <cstdio>
#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "changes/find_changes.h"
#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "removal/found_lists.h"
#include "removal/kept_findings.h"
#include "removal/saved_file.h"

namespace korvex::cli {

namespace {

constexpr const char* kUsage = "usage: korvex-cli [--machine DIR] find [--drives C:[,D:...]] [--save FILE] [--keep-lists]\n";

struct FindOptions {
    std::string drives;
    std::string save;
    bool keepLists = false;
};

// Parses the arguments after "find"; false on a usage error.
bool parseOptions(const std::vector<std::string>& args, FindOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--drives" || a == "--save") && i + 1 < args.size()) {
            (a == "--drives" ? options.drives : options.save) = args[++i];
        } else if (a.rfind("--drives=", 0) == 0) {
            options.drives = a.substr(9);
        } else if (a.rfind("--save=", 0) == 0) {
            options.save = a.substr(7);
        } else if (a == "--keep-lists") {
            options.keepLists = true;
        } else {
            return false;
        }
    }
    return true;
}

void printList(const char* title, const std::vector<FoundRow>& rows, bool files, bool lines) {
    if (rows.size() == 1 && rows.front().isDisabledScan()) {
        std::printf("%s: %s\n", title, rows.front().text.c_str());
        return;
    }
    std::printf("%s (%zu):\n", title, rows.size());
    for (const FoundRow& row : rows) {
        if (files) {
            std::printf("  %s%s  (%s%s)\n", row.fullPath().c_str(), row.isFolder ? "\\" : "",
                        row.isFolder ? "folder, " : "", row.size.empty() ? "?" : row.size.c_str());
        } else if (lines) {
            if (row.sub1 == " " || row.sub1.empty())
                std::printf("  %s\n", row.text.c_str());
            else
                std::printf("  %s  [replacing: %s]\n", row.text.c_str(), row.sub1.c_str());
        } else {
            std::printf("  %s\n", row.fullPath().c_str());
        }
    }
}

void printLists(const FoundLists& lists, char decimal) {
    std::printf("Changes found  %s\n", TotalSizeText(lists.total, decimal).c_str());
    printList("Files and folders added", lists[FoundList::Files], true, false);
    printList("Registry keys added", lists[FoundList::Registry], false, false);
    printList("Lines added to Win.ini", lists[FoundList::WinIni], false, true);
    printList("Lines added to System.ini", lists[FoundList::SystemIni], false, true);
    printList("Lines added to Autoexec.bat", lists[FoundList::AutoexecBat], false, true);
    printList("Lines added to Config.sys", lists[FoundList::ConfigSys], false, true);
}

}  // namespace

int cmdFind(Context& context, const std::vector<std::string>& args) {
    FindOptions options;
    if (!parseOptions(args, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Services& services = context.services;
    RegistryAccess registry(services.registry, context.prompt);

    int status = 0;
    const std::string drives = CommandDrives(services, registry, options.drives, "find", "search", kUsage, status);
    if (drives.empty()) return status;
    std::string savePath;
    if (!options.save.empty()) {
        savePath = MachinePath(services.system, options.save);
        if (savePath.empty()) {
            std::fprintf(stderr, "korvex-cli: %s is not on any drive of the machine\n", options.save.c_str());
            return 1;
        }
        // Checked before the run: with "AutoUpdateDb" the run replaces the scan
        // database, and what it found must have somewhere to go.
        std::string folder = SavedFileFolder(savePath);
        if (folder.size() == 2) folder += '\\';  // the drive's root
        const FileInfo folderInfo = services.files.info(folder);
        if (!folderInfo.exists || !folderInfo.isFolder || services.files.info(savePath).isFolder) {
            std::fprintf(stderr, "korvex-cli find: cannot save to %s: %s; nothing was searched\n",
                         options.save.c_str(),
                         folderInfo.isFolder ? "it is a folder" : ("the folder " + folder + " does not exist").c_str());
            return 1;
        }
    }

    bool stop = false;
    FindOutcome outcome;
    {
        InterruptiblePrompt prompt(context.prompt, stop);
        RegistryAccess runRegistry(services.registry, prompt);
        FindProgress progress;
        progress.prompt = &prompt;
        outcome = FindChanges(services, runRegistry, prompt, context.dataFolder, drives, stop, progress);
    }
    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
    if (outcome == FindOutcome::Cancelled) std::fputs("korvex-cli: find changes stopped\n", stderr);
    if (outcome != FindOutcome::Completed) return 1;

    // Loading deletes the change list files; with --keep-lists they are put back as read.
    const std::string root = WindowsDriveRoot(services.system);
    std::vector<std::pair<std::string, std::string>> kept;
    if (options.keepLists) {
        for (std::string_view name : {kChangesFile, kSysChangesFile, kHkcuChangesFile, kHklmChangesFile}) {
            std::string text;
            if (services.files.readFile(root + std::string(name), text)) kept.emplace_back(root + std::string(name), text);
        }
    }
    FoundLists lists = LoadFoundLists(services, registry, context.prompt);
    for (const auto& [path, text] : kept)
        if (!services.files.info(path).exists) services.files.replaceFile(path, text);

    printLists(lists, services.system.decimalSeparator());
    const std::string keptCopy = KeepFoundChanges(services, context.dataFolder, lists);
    if (!keptCopy.empty()) std::printf("Kept in %s\n", keptCopy.c_str());
    std::fflush(stdout);

    if (!savePath.empty()) {
        SelectAll(lists);
        if (!WriteSavedFile(services.files, savePath, ToSavedData(lists, RowChoice::Selected))) {
            const std::string reason = services.files.lastError();
            std::fprintf(stderr, "korvex-cli: cannot write %s%s%s%s\n", savePath.c_str(),
                         reason.empty() ? "" : (" (" + reason + ")").c_str(),
                         keptCopy.empty() ? "" : "; the changes found are kept in ", keptCopy.c_str());
            return 1;
        }
        RememberSavedFile(registry, savePath);
        std::printf("Saved to %s\n", savePath.c_str());
    }
    return 0;
}

}  // namespace korvex::cli
