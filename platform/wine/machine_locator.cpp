// The order in which Korvex looks for its machine.
#include "platform/wine/machine_locator.h"

#include <cstdlib>
#include <filesystem>

#include <pwd.h>
#include <unistd.h>

#include "platform/wine/machine_builder.h"

namespace korvex::wine {

namespace {

std::string value(const EnvironmentLookup& environment, const char* name) {
    const char* v = environment ? environment(name) : std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string homeDir(const EnvironmentLookup& environment) {
    std::string home = value(environment, "HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir ? pw->pw_dir : "";
    }
    return home;
}

}  // namespace

std::string TakeMachineArgument(std::vector<std::string>& args) {
    std::string dir;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--machine" && i + 1 < args.size()) {
            dir = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        } else if (args[i].rfind("--machine=", 0) == 0) {
            dir = args[i].substr(10);
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return dir;
}

std::string BuiltInMachineDir(const EnvironmentLookup& environment) {
    std::string data = value(environment, "XDG_DATA_HOME");
    if (data.empty() || data[0] != '/') data = homeDir(environment) + "/.local/share";
    return data + "/korvex/machine";
}

std::optional<MachineLocation> LocateMachine(std::string_view explicitDir, std::string* error,
                                             const EnvironmentLookup& environment) {
    if (!explicitDir.empty()) return MachineLocation{std::string(explicitDir), false};
    for (const char* name : {"KORVEX_MACHINE", "WINEPREFIX"}) {
        const std::string dir = value(environment, name);
        if (!dir.empty()) return MachineLocation{dir, false};
    }
    const std::string home = homeDir(environment);
    std::error_code ec;
    if (!home.empty() && std::filesystem::is_directory(home + "/.wine", ec)) return MachineLocation{home + "/.wine", false};

    const std::string builtIn = BuiltInMachineDir(environment);
    if (!CreateMachine(builtIn, WindowsVersion::Win10, error)) return std::nullopt;
    return MachineLocation{builtIn, true};
}

std::string MachineFolderText(const std::string& dir, std::string home) {
    if (home.empty()) {
        const char* h = std::getenv("HOME");
        home = h ? h : "";
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    if (home.empty() || home == "/") return dir;
    if (dir == home) return "~";
    if (dir.size() > home.size() && dir.compare(0, home.size(), home) == 0 && dir[home.size()] == '/')
        return "~" + dir.substr(home.size());
    return dir;
}

}  // namespace korvex::wine
