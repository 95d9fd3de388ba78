// korvex-cli uninstall: the one-step uninstall from a saved data file, without its
// windows. The question is answered Yes only with --yes (which also answers the
// in-use DLL prompt with Delete); every message is one "Title: text" line on standard
// error and each refused item one more line. --dry-run lists what would be removed,
// refused or put back and changes nothing.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_prompt.h"
#include "cli/commands.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "removal/uninstall.h"

namespace korvex::cli {

namespace {

constexpr const char* kUsage = "usage: korvex-cli [--machine DIR] [--yes] uninstall FILE.kvu [--dry-run]\n";

// The Windows path of FILE: kept when it is one already, else mapped from the host.
std::string machinePath(System& system, const std::string& file) {
    if (file.size() >= 3 && file[1] == ':' && file[2] == '\\') return file;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    if (error) return {};
    return system.windowsPath(absolute.lexically_normal().string());
}

void printRefusals(const Refusals& refusals) {
    for (const Refusal& r : refusals) std::fprintf(stderr, "korvex-cli: refused: %s: %s\n", r.path.c_str(), r.reason.c_str());
}

int dryRun(RemovalContext& c, const std::string& path) {
    const UninstallPlan plan = PlanUninstall(c, path);
    if (!plan.valid) {
        std::fputs("Error opening file: This is not a valid Korvex! data file. The file may be corrupted.\n", stderr);
        return 1;
    }
    const char decimal = c.services.system.decimalSeparator();
    std::uint64_t bytes = 0, files = 0, keys = 0, subKeys = 0, lines = 0, refused = 0, gone = 0;
    std::printf("Dry run: nothing is changed.\nFiles and folders:\n");
    for (const PlannedItem& f : plan.files) {
        if (!f.refusal.empty()) {
            ++refused;
            std::printf("  refused  %s  (%s)\n", f.name.c_str(), f.refusal.c_str());
        } else if (!f.exists) {
            ++gone;
            std::printf("  gone     %s\n", f.name.c_str());
        } else {
            ++files;
            bytes += f.bytes;
            std::printf("  remove   %s%s  (%s%llu bytes)\n", f.name.c_str(), f.isFolder ? "\\" : "",
                        f.isFolder ? "folder, " : "", static_cast<unsigned long long>(f.bytes));
        }
    }
    std::printf("Registry keys:\n");
    for (const PlannedItem& k : plan.keys) {
        if (!k.refusal.empty()) {
            ++refused;
            std::printf("  refused  %s  (%s)\n", k.name.c_str(), k.refusal.c_str());
        } else if (!k.exists) {
            ++gone;
            std::printf("  gone     %s\n", k.name.c_str());
        } else {
            ++keys;
            subKeys += k.subKeys;
            std::printf("  remove   %s  (%llu sub key%s)\n", k.name.c_str(), static_cast<unsigned long long>(k.subKeys),
                        k.subKeys == 1 ? "" : "s");
        }
    }
    std::printf("Lines:\n");
    for (const PlannedItem& l : plan.lines) {
        const std::string putBack = l.detail == " " ? "nothing" : "\"" + l.detail + "\"";
        if (!l.exists) {
            ++gone;
            std::printf("  gone     %s: \"%s\"\n", l.file.c_str(), l.name.c_str());
        } else {
            ++lines;
            std::printf("  remove   %s: \"%s\", puts back %s\n", l.file.c_str(), l.name.c_str(), putBack.c_str());
        }
    }
    std::printf("Total: %llu files and folders (%llu bytes, %s), %llu keys with %llu sub keys, %llu lines; %llu refused, %llu "
                "already gone\n",
                static_cast<unsigned long long>(files), static_cast<unsigned long long>(bytes), FormatSize(static_cast<double>(bytes), true, decimal).c_str(),
                static_cast<unsigned long long>(keys), static_cast<unsigned long long>(subKeys),
                static_cast<unsigned long long>(lines), static_cast<unsigned long long>(refused),
                static_cast<unsigned long long>(gone));
    return 0;
}

}  // namespace

int cmdUninstall(Context& context, const std::vector<std::string>& args) {
    std::string file;
    bool dry = false;
    for (const std::string& a : args) {
        if (a == "--dry-run") {
            dry = true;
        } else if (file.empty() && !(a.size() > 1 && a[0] == '-')) {
            file = a;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (file.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Services& services = context.services;
    const std::string path = machinePath(services.system, file);
    if (path.empty()) {
        std::fprintf(stderr, "korvex-cli: %s is not on any drive of the machine\n", file.c_str());
        return 1;
    }
    const FileInfo info = services.files.info(path);
    if (!info.exists || info.isFolder) {
        std::fprintf(stderr, "korvex-cli: no saved data file %s\n", path.c_str());
        return 1;
    }
    RegistryAccess registry(services.registry, context.prompt);
    RemovalContext removal{services, registry, context.prompt, context.dataFolder};
    if (dry) return dryRun(removal, path);

    auto* cli = dynamic_cast<CliPrompt*>(&context.prompt);
    const bool yes = cli && cli->assumeYes();
    InUseDll dll;
    dll.show = [yes](InUseDll& state) {
        std::fprintf(stderr, "DLL file in use: The DLL file %s may be in use by other applications. Delete it? %s\n",
                     state.InUseDllPath.c_str(), yes ? "Delete" : "Skip");
        state.DeleteThisDll = yes;
        state.DeleteAllDlls = false;
    };
    const UninstallResult result = UninstallFromSavedFile(removal, path, dll);
    if (cli) cli->endProgressLine();
    printRefusals(result.refusals);
    return result.outcome == UninstallOutcome::Uninstalled ? 0 : 1;
}

}  // namespace korvex::cli
