// korvex-cli unused-dlls and duplicates: the clean-up window's two hidden scans
// without the window. The options start as the window would load them; rows are
// printed as the scan adds them ("C:\path\name<TAB>12KB"), then the window's two
// totals lines. Ctrl-C stops a scan the way the Stop button does: the rows found so
// far and their totals are printed, and the work files are gone.
#include <cstdio>
#include <string>
#include <vector>

#include "cleanup/duplicates.h"
#include "cleanup/unused_dlls.h"
#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "platform/folders.h"
#include "platform/registry_access.h"

namespace korvex::cli {

namespace {

constexpr const char* kDllUsage = "usage: korvex-cli [--machine DIR] unused-dlls\n";
constexpr const char* kDuplicatesUsage =
    "usage: korvex-cli [--machine DIR] duplicates [--drives C:[,D:...]] [--named PATTERN]\n"
    "         [--containing TEXT] [--same-size | --any-size] [--same-time | --any-time]\n"
    "         [--skip-empty | --keep-empty] [--skip-sysbckup | --keep-sysbckup]\n";

// A scan whose rows are printed as they come: the full path, a tab, the compact size.
cleanup::CleanUpScan printingScan(Context& context, Prompt& prompt, const bool& stop) {
    const char decimal = context.services.system.decimalSeparator();
    return cleanup::CleanUpScan{context.services.files, prompt, stop,
                                [&context, decimal](const cleanup::CleanUpRow& row) {
                                    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
                                    std::printf("%s%s\t%s\n", row.folder.c_str(), row.name.c_str(),
                                                FormatSize(static_cast<double>(row.bytes), false, decimal).c_str());
                                },
                                0,
                                {}};
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

}  // namespace

int cmdUnusedDlls(Context& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        if (args.front() == "--delete")
            std::fputs("korvex-cli unused-dlls: shared DLLs are never deleted; move them aside instead\n", stderr);
        std::fputs(kDllUsage, stderr);
        return 2;
    }
    Services& services = context.services;
    bool stop = false;
    cleanup::CleanUpTotals totals;
    {
        InterruptiblePrompt prompt(context.prompt, stop);
        RegistryAccess registry(services.registry, prompt);
        cleanup::CleanUpScan scan = printingScan(context, prompt, stop);
        cleanup::ScanUnusedDlls(services, registry, scan);
        totals = scan.totals;
    }
    printTotals(context, totals);
    if (stop) {
        std::fputs("korvex-cli: the unused DLL scan was stopped\n", stderr);
        return 1;
    }
    return 0;
}

int cmdDuplicates(Context& context, const std::vector<std::string>& args) {
    Services& services = context.services;
    RegistryAccess registry(services.registry, context.prompt);
    cleanup::DuplicateOptions options = cleanup::ReadDuplicateOptions(registry);
    std::string drives;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (takeValue(args, i, "--drives", drives) || takeValue(args, i, "--named", options.named) ||
            takeValue(args, i, "--containing", options.containing) ||
            takeSwitch(a, "--same-size", "--any-size", options.sameSize) ||
            takeSwitch(a, "--same-time", "--any-time", options.sameDateTime) ||
            takeSwitch(a, "--skip-empty", "--keep-empty", options.skipZeroLength) ||
            takeSwitch(a, "--skip-sysbckup", "--keep-sysbckup", options.skipSysbckup))
            continue;
        std::fprintf(stderr, "korvex-cli duplicates: unknown or incomplete option '%s'\n%s", a.c_str(),
                     kDuplicatesUsage);
        return 2;
    }
    if (drives.empty()) {
        drives = DefaultDrives(services, registry);
        if (drives.empty()) {
            std::fputs("korvex-cli duplicates: the machine has no fixed drive to search\n", stderr);
            return 1;
        }
    } else {
        std::string error;
        const std::string checked = CheckedDrives(services.system, drives, error);
        if (checked.empty()) {
            std::fprintf(stderr, "korvex-cli duplicates: %s (fixed drives: %s)\n%s", error.c_str(),
                         FixedDrives(services.system).c_str(), kDuplicatesUsage);
            return 2;
        }
        drives = checked;
    }

    bool stop = false;
    cleanup::CleanUpTotals totals;
    {
        InterruptiblePrompt prompt(context.prompt, stop);
        cleanup::CleanUpScan scan = printingScan(context, prompt, stop);
        cleanup::ScanDuplicates(services, scan, options, drives);
        totals = scan.totals;
    }
    printTotals(context, totals);
    if (stop) {
        std::fputs("korvex-cli: the duplicate file scan was stopped\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace korvex::cli
