// korvex-cli init: makes a Windows machine in Wine's prefix layout to work on.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli/local_commands.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/machine_locator.h"

namespace korvex::cli {
namespace {

// The folder the other commands would use, without making anything there.
std::string initTarget(const std::string& explicitDir) {
    if (!explicitDir.empty()) return explicitDir;
    for (const char* name : {"KORVEX_MACHINE", "WINEPREFIX"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    const char* home = std::getenv("HOME");
    std::error_code ec;
    if (home && *home && std::filesystem::is_directory(std::string(home) + "/.wine", ec))
        return std::string(home) + "/.wine";
    return wine::BuiltInMachineDir({});
}

}  // namespace

int cmdInit(const std::string& explicitDir, const std::vector<std::string>& args) {
    wine::WindowsVersion version = wine::WindowsVersion::Win10;
    std::string versionName = "win10";
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "--windows-version" && i + 1 < args.size()) {
            value = args[++i];
        } else if (args[i].rfind("--windows-version=", 0) == 0) {
            value = args[i].substr(18);
        } else {
            std::fprintf(stderr, "korvex-cli init: unexpected argument '%s'\n", args[i].c_str());
            std::fprintf(stderr, "Usage: korvex-cli [--machine DIR] init [--windows-version win98|win7|win10]\n");
            return 2;
        }
        if (value == "win98") version = wine::WindowsVersion::Win98;
        else if (value == "win7") version = wine::WindowsVersion::Win7;
        else if (value == "win10") version = wine::WindowsVersion::Win10;
        else {
            std::fprintf(stderr, "korvex-cli init: unknown Windows version '%s' (use win98, win7 or win10)\n",
                         value.c_str());
            return 2;
        }
        versionName = value;
    }

    const std::string dir = initTarget(explicitDir);
    if (wine::IsMachineFolder(dir)) {
        std::printf("%s is already a machine; it was left as it is.\n", dir.c_str());
        return 0;
    }
    std::string error;
    if (!wine::CreateMachine(dir, version, &error)) {
        std::fprintf(stderr, "korvex-cli init: %s\n", error.empty() ? "the machine could not be made." : error.c_str());
        return 1;
    }
    std::printf("Made a %s machine in %s\n", versionName.c_str(), dir.c_str());
    return 0;
}

}  // namespace korvex::cli
