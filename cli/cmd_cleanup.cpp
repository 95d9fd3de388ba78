// korvex-cli unused-dlls and duplicates: the clean-up window's two hidden scans
// without the window. The options start as the window would load them; rows are
// printed as the scan adds them ("C:\path\name<TAB>12KB"), then the window's two
// totals lines. --delete and --move hand every row to the removal layer as the
// window's Delete and Move buttons do with all rows selected: deleting duplicates
// asks the window's question first, and shared DLLs are only ever moved. Ctrl-C stops
// a scan the way the Stop button does: the rows so far and their totals are printed,
// the work files are gone, and nothing is removed.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cleanup/clean_results.h"
#include "cleanup/clean_settings.h"
#include "cleanup/duplicates.h"
#include "cleanup/unused_dlls.h"
#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "removal/remove_files.h"

namespace korvex::cli {

namespace {

constexpr const char* kDllUsage = "usage: korvex-cli [--machine DIR] unused-dlls [--move DIR]\n";
constexpr const char* kDuplicatesUsage =
    "usage: korvex-cli [--machine DIR] [--yes] duplicates [--drives C:[,D:...]] [--named PATTERN]\n"
    "         [--containing TEXT] [--same-size | --any-size] [--same-time | --any-time]\n"
    "         [--skip-empty | --keep-empty] [--skip-sysbckup | --keep-sysbckup] [--delete | --move DIR]\n";

// What to do with the rows once the scan has ended.
enum class AfterScan { List, Delete, Move };

// A scan whose rows are printed as they come (the full path, a tab, the compact size)
// and whose paths are kept in paths when it is given (a large drive has many rows).
cleanup::CleanUpScan printingScan(Context& context, Prompt& prompt, const bool& stop,
                                  std::vector<std::string>* paths) {
    const char decimal = context.services.system.decimalSeparator();
    return cleanup::CleanUpScan{context.services.files, prompt, stop,
                                [&context, paths, decimal](const cleanup::CleanUpRow& row) {
                                    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
                                    const std::string path = row.folder + row.name;
                                    std::printf("%s\t%s\n", path.c_str(),
                                                FormatSize(static_cast<double>(row.bytes), false, decimal).c_str());
                                    if (paths) paths->push_back(path);
                                },
                                0,
                                {}};
}

// Deletes or moves the listed files as the window's buttons do with every row
// selected (the row met last first); 0 when none is left where it was.
int removeRows(Context& context, const char* command, AfterScan what, std::vector<std::string> paths,
               const std::string& destination, bool askFirst) {
    if (what == AfterScan::List || paths.empty()) return 0;
    Services& services = context.services;
    Prompt& prompt = context.prompt;
    if (askFirst && prompt.messageBox({Icon::Exclamation, Buttons::OKCancel, 2, "Confirm delete",
                                       std::string(cleanup::kDuplicateWarning)}) == Answer::Cancel) {
        const auto* cli = dynamic_cast<const CliPrompt*>(&prompt);
        std::fprintf(stderr, "korvex-cli %s: nothing was deleted%s\n", command,
                     cli && !cli->assumeYes() ? " (korvex-cli deletes nothing unasked: answer with --yes)" : "");
        return 1;
    }
    RegistryAccess registry(services.registry, prompt);
    RemovalContext removal{services, registry, prompt, context.dataFolder};
    std::reverse(paths.begin(), paths.end());
    RemoveReport report;
    if (what == AfterScan::Delete) {
        RemoveFiles(removal, paths, 0, RemovalMode::Normal, &report);
    } else {
        MoveFiles(removal, paths, destination, 0);
        for (Refusal& r : services.shell.takeRefusals()) report.refusals.push_back(std::move(r));
    }
    ShowRefusals(prompt, report.refusals);
    if (auto* cli = dynamic_cast<CliPrompt*>(&prompt)) cli->endProgressLine();
    std::size_t left = 0;
    for (const std::string& path : paths)
        if (services.files.info(path).exists) ++left;
    std::printf("%s %zu of %zu files\n", what == AfterScan::Delete ? "Removed" : "Moved", paths.size() - left,
                paths.size());
    if (left == 0) return 0;
    const auto* cli = dynamic_cast<const CliPrompt*>(&prompt);
    std::fprintf(stderr, "korvex-cli %s: %zu files are still where they were%s\n", command, left,
                 cli && !cli->assumeYes() ? " (korvex-cli removes nothing unasked: answer with --yes)" : "");
    return 1;
}

// The totals as the window shows them after a scan.
void printTotals(Context& context, const cleanup::CleanUpTotals& totals) {
    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
    std::printf("Total files:%llu\nTotal size:%s\n", static_cast<unsigned long long>(totals.files),
                FormatSize(totals.bytes, true, context.services.system.decimalSeparator()).c_str());
    std::fflush(stdout);
}

// "--name VALUE" or "--name=VALUE" at args[i]; advances i past the value.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name, std::string& value) {
    const std::string& a = args[i];
    if (a == name && i + 1 < args.size()) {
        value = args[++i];
        return true;
    }
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
        value = a.substr(name.size() + 1);
        return true;
    }
    return false;
}

// One of a pair of switches ("--same-size" / "--any-size") at a.
bool takeSwitch(const std::string& a, const char* on, const char* off, bool& value) {
    if (a == on) value = true;
    else if (a == off) value = false;
    else return false;
    return true;
}

// A --move folder at args[i] ("--move DIR" or "--move=DIR", not empty).
bool takeMove(const std::vector<std::string>& args, std::size_t& i, std::string& folder) {
    return takeValue(args, i, "--move", folder) && !folder.empty();
}

// Checks and maps a --move folder; "" after saying what is wrong.
std::string destinationFolder(Context& context, const char* command, const std::string& folder) {
    const std::string destination = MachineFolder(context.services.system, folder);
    if (destination.empty())
        std::fprintf(stderr, "korvex-cli %s: %s is not on any drive of the machine\n", command, folder.c_str());
    return destination;
}

}  // namespace

int cmdUnusedDlls(Context& context, const std::vector<std::string>& args) {
    std::string moveTo;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (takeMove(args, i, moveTo)) continue;
        if (args[i] == "--delete")
            std::fputs("korvex-cli unused-dlls: shared DLLs are never deleted; move them aside with --move DIR\n",
                       stderr);
        std::fputs(kDllUsage, stderr);
        return 2;
    }
    std::string destination;
    if (!moveTo.empty() && (destination = destinationFolder(context, "unused-dlls", moveTo)).empty()) return 1;

    Services& services = context.services;
    bool stop = false;
    std::vector<std::string> paths;
    cleanup::CleanUpTotals totals;
    {
        InterruptiblePrompt prompt(context.prompt, stop);
        RegistryAccess registry(services.registry, prompt);
        cleanup::CleanUpScan scan = printingScan(context, prompt, stop, destination.empty() ? nullptr : &paths);
        cleanup::ScanUnusedDlls(services, registry, scan);
        totals = scan.totals;
    }
    printTotals(context, totals);
    if (stop) {
        std::fputs("korvex-cli: the unused DLL scan was stopped; nothing was moved\n", stderr);
        return 1;
    }
    return removeRows(context, "unused-dlls", destination.empty() ? AfterScan::List : AfterScan::Move, paths,
                      destination, false);
}

int cmdDuplicates(Context& context, const std::vector<std::string>& args) {
    Services& services = context.services;
    RegistryAccess registry(services.registry, context.prompt);
    // The rules as the clean-up window loads its boxes; the two texts start empty.
    const cleanup::CleanUpChoices choices = cleanup::LoadCleanUpChoices(registry);
    cleanup::DuplicateOptions options;
    options.sameSize = choices.sameSize;
    options.sameDateTime = choices.sameDateTime;
    options.skipZeroLength = choices.skipZeroLength;
    options.skipSysbckup = choices.skipSysbckup;
    std::string drives, moveTo;
    bool remove = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (takeValue(args, i, "--drives", drives) || takeValue(args, i, "--named", options.named) ||
            takeValue(args, i, "--containing", options.containing) || takeMove(args, i, moveTo) ||
            takeSwitch(a, "--same-size", "--any-size", options.sameSize) ||
            takeSwitch(a, "--same-time", "--any-time", options.sameDateTime) ||
            takeSwitch(a, "--skip-empty", "--keep-empty", options.skipZeroLength) ||
            takeSwitch(a, "--skip-sysbckup", "--keep-sysbckup", options.skipSysbckup))
            continue;
        if (a == "--delete") {
            remove = true;
            continue;
        }
        std::fprintf(stderr, "korvex-cli duplicates: unknown or incomplete option '%s'\n%s", a.c_str(),
                     kDuplicatesUsage);
        return 2;
    }
    if (remove && !moveTo.empty()) {
        std::fprintf(stderr, "korvex-cli duplicates: --delete and --move exclude each other\n%s", kDuplicatesUsage);
        return 2;
    }
    int status = 0;
    drives = CommandDrives(services, registry, drives, "duplicates", "search", kDuplicatesUsage, status);
    if (drives.empty()) return status;
    std::string destination;
    if (!moveTo.empty() && (destination = destinationFolder(context, "duplicates", moveTo)).empty()) return 1;

    bool stop = false;
    std::vector<std::string> paths;
    cleanup::CleanUpTotals totals;
    {
        InterruptiblePrompt prompt(context.prompt, stop);
        cleanup::CleanUpScan scan =
            printingScan(context, prompt, stop, remove || !destination.empty() ? &paths : nullptr);
        cleanup::ScanDuplicates(services, scan, options, drives);
        totals = scan.totals;
    }
    printTotals(context, totals);
    if (stop) {
        std::fputs("korvex-cli: the duplicate file scan was stopped; nothing was removed\n", stderr);
        return 1;
    }
    const AfterScan what = remove ? AfterScan::Delete : destination.empty() ? AfterScan::List : AfterScan::Move;
    return removeRows(context, "duplicates", what, paths, destination, remove);
}

}  // namespace korvex::cli
