// korvex-cli's own commands (the machine and Korvex's settings); the scan commands
// are declared in commands.h. Each returns the exit status: 0 success, 1 failure or
// refusal, 2 usage error.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace korvex::cli {

// Makes a new machine in explicitDir, else where the other commands would look for
// one. An existing machine counts as success and is left as it is.
int cmdInit(const std::string& explicitDir, const std::vector<std::string>& args);

// Prints the machine, its Windows version, drives and folders, and Korvex's own
// folders, after start-up settled the data folder.
int cmdInfo(Context& context, const std::vector<std::string>& args);

// The text of korvex-cli --help.
const char* UsageText();

}  // namespace korvex::cli
