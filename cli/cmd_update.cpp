// korvex-cli update: the update-database run without its window. Same driver, same
// files; the drives come from --drives or, like the main window, from the stored
// "DriveName". Ctrl-C stops the run the way closing the window does: the work files
// are deleted and the scan database files not yet replaced stay as they were.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "platform/registry_access.h"
#include "scandb/update_database.h"

namespace korvex::cli {

namespace {

constexpr const char* kUsage = "usage: korvex-cli [--machine DIR] update [--drives C:|C:,D:]\n";

// Parses the arguments after "update"; false on a usage error.
bool parseOptions(const std::vector<std::string>& args, std::string& drives, bool& given) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--drives" && i + 1 < args.size()) {
            drives = args[++i];
        } else if (a.rfind("--drives=", 0) == 0) {
            drives = a.substr(9);
        } else {
            return false;
        }
        given = true;
    }
    return true;
}

}  // namespace

int cmdUpdate(Context& context, const std::vector<std::string>& args) {
    Services& services = context.services;
    std::string option;
    bool given = false;
    if (!parseOptions(args, option, given)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string drives;
    if (given) {
        std::string error;
        drives = CheckedDrives(services.system, option, error);
        if (drives.empty()) {
            std::fprintf(stderr, "korvex-cli update: %s (fixed drives: %s)\n%s", error.c_str(),
                         FixedDrives(services.system).c_str(), kUsage);
            return 2;
        }
    } else {
        RegistryAccess registry(services.registry, context.prompt);
        drives = DefaultDrives(services, registry);
        if (drives.empty()) {
            std::fputs("korvex-cli update: the machine has no fixed drive to scan\n", stderr);
            return 1;
        }
    }

    bool stop = false;
    scandb::UpdateOutcome outcome;
    {
        InterruptiblePrompt prompt(context.prompt, stop);
        scandb::UpdateRequest request;
        request.dataFolder = context.dataFolder;
        request.drives = drives;
        outcome = scandb::UpdateDatabase(services, prompt, request, stop);
    }
    if (auto* cli = dynamic_cast<CliPrompt*>(&context.prompt)) cli->endProgressLine();
    if (outcome == scandb::UpdateOutcome::Failed || outcome == scandb::UpdateOutcome::MachineInUse)
        return 1;  // its message is on standard error already
    if (outcome != scandb::UpdateOutcome::Completed) {
        std::fputs("korvex-cli update: stopped; the scan database files not yet replaced are unchanged\n", stderr);
        return 1;
    }
    std::printf("The scan database has been updated (%s)\n", drives.c_str());
    return 0;
}

}  // namespace korvex::cli
