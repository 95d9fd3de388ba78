// Starting host programs without waiting for them: the program runs in its own
// session with its output discarded and Korvex never waits for it (no zombies left).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

// Full path of an executable found on PATH; "" when there is none.
std::string FindOnPath(std::string_view program);

// Starts argv[0] (a full path) with argv and the current environment plus extraEnv
// ("NAME=value" entries, replacing same-named ones). False when it could not start.
bool StartDetached(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});

// Splits a Windows command line into arguments the way Windows programs do: blanks
// separate, double quotes group, backslashes escape only before a quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace korvex::wine
