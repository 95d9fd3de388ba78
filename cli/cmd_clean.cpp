// korvex-cli clean: the System clean-up window's scans without the window. The choices
// are the ones the window would load (categories, own types, own folders); the rows
// are printed in the order the scan adds them, then the totals as the window shows
// them. --delete and --move hand every row to the removal layer the way the window's
// Delete and Move buttons do with all rows selected. Ctrl-C stops the scan the way
// the window's Stop button does; nothing is removed then.
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "cleanup/clean_results.h"
#include "cleanup/clean_settings.h"
#include "cleanup/junk_scan.h"
#include "cleanup/removal_calls.h"
#include "cleanup/temp_folders.h"
#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "platform/text.h"

namespace korvex::cli {

namespace {

constexpr const char* kUsage =
    "usage: korvex-cli [--machine DIR] [--yes] clean [--temp-files] [--temp-folders] [--drives C:[,D:...]]\n"
    "                  [--delete | --move DIR]\n";

struct CleanOptions {
    bool tempFiles = false;
    bool tempFolders = false;
    std::string drives;
    bool remove = false;
    std::string moveTo;
};

bool parseOptions(const std::vector<std::string>& args, CleanOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--temp-files") o.tempFiles = true;
        else if (a == "--temp-folders") o.tempFolders = true;
        else if (a == "--delete") o.remove = true;
        else if ((a == "--drives" || a == "--move") && i + 1 < args.size()) (a == "--drives" ? o.drives : o.moveTo) = args[++i];
        else if (a.rfind("--drives=", 0) == 0) o.drives = a.substr(9);
        else if (a.rfind("--move=", 0) == 0) o.moveTo = a.substr(7);
        else return false;
    }
    if (o.remove && !o.moveTo.empty()) return false;
    if (!o.tempFiles && !o.tempFolders) o.tempFiles = true;
    return true;
}

// The prompt of a --move run: the folder picker answers with the --move folder.
class MovePrompt : public InterruptiblePrompt {
public:
    MovePrompt(Prompt& inner, bool& stop, std::string folder) : InterruptiblePrompt(inner, stop), folder_(std::move(folder)) {}
    std::string pickFolder(std::string_view) override { return folder_; }

private:
    std::string folder_;
};

}  // namespace

int cmdClean(Context& context, const std::vector<std::string>& args) {
    CleanOptions options;
    if (!parseOptions(args, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Services& services = context.services;
    RegistryAccess registry(services.registry, context.prompt);

    std::string drives;
    if (options.tempFiles) {
        int status = 0;
        drives = CommandDrives(services, registry, options.drives, "clean", "scan", kUsage, status);
        if (drives.empty()) return status;
    }
    std::string moveTo;
    if (!options.moveTo.empty()) {
        moveTo = MachineFolder(services.system, options.moveTo);
        if (moveTo.empty()) {
            std::fprintf(stderr, "korvex-cli: %s is not on any drive of the machine\n", options.moveTo.c_str());
            return 1;
        }
    }

    const cleanup::CleanUpChoices choices = cleanup::LoadCleanUpChoices(registry);
    const char decimal = services.system.decimalSeparator();
    bool stop = false;
    cleanup::ResultRows rows;
    std::unordered_set<std::string> listed;  // a file both scans find is listed once
    cleanup::CleanUpTotals totals;
    {
        MovePrompt prompt(context.prompt, stop, moveTo);
        cleanup::CleanUpScan scan{services.files, prompt, stop,
                                  [&](const cleanup::CleanUpRow& row) {
                                      std::string path = row.folder + row.name;
                                      if (!listed.insert(ToLower(path)).second) return;
                                      ++totals.files;
                                      totals.bytes += static_cast<double>(row.bytes);
                                      if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
                                      std::printf("%s\t%s\n", path.c_str(),
                                                  FormatSize(static_cast<double>(row.bytes), false, decimal).c_str());
                                      rows.paths.push_back(std::move(path));
                                      rows.selected.push_back(true);
                                  },
                                  cleanup::LocalDay(services.system.now()),
                                  {}};
        if (options.tempFiles) {
            RegistryAccess runRegistry(services.registry, prompt);
            cleanup::ScanForJunkFiles(services, runRegistry, scan, choices, drives);
        }
        if (options.tempFolders && !stop)
            cleanup::ScanTempFolders(services, scan, choices, TempFolder(services.system));
    }
    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
    std::printf("Total files:%llu\nTotal size:%s\n", static_cast<unsigned long long>(totals.files),
                FormatSize(totals.bytes, true, decimal).c_str());
    std::fflush(stdout);
    if (stop) {
        std::fputs("korvex-cli clean: stopped; nothing was removed\n", stderr);
        return 1;
    }
    if (!options.remove && moveTo.empty()) return 0;
    if (rows.paths.empty()) return 0;

    MovePrompt prompt(context.prompt, stop, moveTo);
    RegistryAccess runRegistry(services.registry, prompt);
    const cleanup::CleanUpRemoval removal =
        cleanup::RemovalLayerCalls(services, runRegistry, prompt, context.dataFolder);
    if (options.remove) {
        cleanup::DeleteResults(services.files, prompt, rows, cleanup::ResultsKind::Junk,
                               cleanup::DeleteHow::DeleteMode, removal);
    } else {
        cleanup::MoveResults(prompt, rows, removal);
    }
    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
    std::size_t remaining = 0;
    for (const std::string& path : rows.paths)
        if (services.files.info(path).exists) ++remaining;
    const std::size_t done = rows.paths.size() - remaining;
    std::printf("%s %zu of %zu files\n", options.remove ? "Removed" : "Moved", done, rows.paths.size());
    if (remaining == 0) return 0;
    const auto* cli = dynamic_cast<const CliPrompt*>(&context.prompt);
    std::fprintf(stderr, "korvex-cli clean: %zu files are still where they were%s\n", remaining,
                 cli && !cli->assumeYes() ? " (korvex-cli removes nothing unasked: answer with --yes)" : "");
    return 1;
}

}  // namespace korvex::cli
