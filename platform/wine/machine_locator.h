// Finding the machine Korvex works on: "--machine DIR" on the command line, else the
// environment (KORVEX_MACHINE, then WINEPREFIX), else ~/.wine when it exists, else
// the built-in demo machine in the user's data folder, made on first use. Does not
// open the machine (WineMachine does).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

struct MachineLocation {
    std::string dir;
    bool builtIn = false;  // Korvex's own demo machine
};

// Takes "--machine DIR" or "--machine=DIR" out of args and returns DIR ("" when absent).
std::string TakeMachineArgument(std::vector<std::string>& args);

using EnvironmentLookup = std::function<const char*(const char* name)>;

// The folder of the built-in machine: $XDG_DATA_HOME/korvex/machine, or
// ~/.local/share/korvex/machine.
std::string BuiltInMachineDir(const EnvironmentLookup& environment);

// Nothing when the built-in machine was needed and could not be made (error then
// says why). explicitDir is the --machine value, "" when none was given.
std::optional<MachineLocation> LocateMachine(std::string_view explicitDir, std::string* error = nullptr,
                                             const EnvironmentLookup& environment = {});

// The machine's folder as the user knows it: "~" for the home folder at its start
// ("~/.wine"), the full path otherwise. home "" means $HOME.
std::string MachineFolderText(const std::string& dir, std::string home = {});

}  // namespace korvex::wine
