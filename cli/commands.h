// The sub commands of korvex-cli. Each returns the exit code: 0 success, 1 failure or
// refusal, 2 usage error.
#pragma once

#include <string>
#include <vector>

#include "platform/prompt.h"
#include "platform/services.h"

namespace korvex::cli {

struct Context {
    Services& services;
    Prompt& prompt;           // message boxes go to standard error; --yes answers Yes/OK
    std::string dataFolder;   // settled by start-up, ends in "\"
    std::string machineDir;   // host folder of the machine
};

int cmdUpdate(Context& context, const std::vector<std::string>& args);
int cmdFind(Context& context, const std::vector<std::string>& args);
int cmdUninstall(Context& context, const std::vector<std::string>& args);
int cmdReport(Context& context, const std::vector<std::string>& args);
int cmdClean(Context& context, const std::vector<std::string>& args);

}  // namespace korvex::cli
